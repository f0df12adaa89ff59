#include "menu/MenuScene.hpp"

#include "app/ChangeScene.hpp"
#include "app/Globals.hpp"
#include "content/ContentManager.hpp"
#include "game/MainGameScene.hpp"
#include "support/TestContent.hpp"

#include <cmath>
#include <gtest/gtest.h>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

class MenuSceneTest : public testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }

    MenuScene& InstallMenu() {
        auto menu = std::make_unique<MenuScene>();
        MenuScene& raw = *menu;
        ChangeScene(std::move(menu));
        return raw;
    }
};

TEST_F(MenuSceneTest, LayoutOfTheShippedContent) {
    const MenuScene& menu = InstallMenu();
    ASSERT_FALSE(g_quit);

    const sf::FloatRect bill = menu.LargeBill().getGlobalBounds();
    EXPECT_FLOAT_EQ(bill.left + bill.width / 2, 400.0f);
    EXPECT_FLOAT_EQ(bill.top + bill.height / 2, 300.0f);
    EXPECT_EQ(menu.PlayText().getPosition(),
              menu.LargeBill().getPosition() + sf::Vector2f(25.0f, 5.0f));
    EXPECT_EQ(menu.PlayText().getCharacterSize(), 60u);
    // The button's picture must hold its word.
    EXPECT_TRUE(Inside(bill, menu.PlayText().getGlobalBounds()));

    const sf::Text& title = menu.TitleText();
    EXPECT_EQ(title.getCharacterSize(), 70u);
    EXPECT_EQ(title.getPosition().y, 60.0f);
    EXPECT_NEAR(title.getPosition().x + title.getLocalBounds().width / 2, 400.0f, 0.5f);
    EXPECT_FALSE(title.getGlobalBounds().intersects(bill));

    const sf::Text& credit = menu.CreditText();
    EXPECT_EQ(credit.getString(), "Made by Ostrevik");
    EXPECT_EQ(credit.getCharacterSize(), 15u);
    EXPECT_EQ(credit.getFillColor(), sf::Color::Black);
    const sf::FloatRect creditSize = credit.getLocalBounds();
    EXPECT_FLOAT_EQ(credit.getPosition().x + creditSize.width, 790.0f);
    EXPECT_FLOAT_EQ(credit.getPosition().y + creditSize.height, 590.0f);

    const sf::Vector2u tile = g_content.GetTexture("Bill", false).getSize();
    const auto columns = static_cast<std::size_t>(std::ceil(800.0 / tile.x));
    const auto rows = static_cast<std::size_t>(std::ceil(600.0 / tile.y));
    EXPECT_EQ(menu.Backdrop().size(), columns * rows);
    EXPECT_EQ(menu.Backdrop().front().getColor(), sf::Color(255, 255, 255, 100));
}

TEST_F(MenuSceneTest, HoverEdgesLeftAndTopAreOutsideRightAndBottomInside) {
    const sf::FloatRect b(275.0f, 252.0f, 250.0f, 96.0f);
    EXPECT_FALSE(MenuScene::IsPointOver(b, {275.0f, 300.0f}));
    EXPECT_FALSE(MenuScene::IsPointOver(b, {400.0f, 252.0f}));
    EXPECT_TRUE(MenuScene::IsPointOver(b, {525.0f, 300.0f}));
    EXPECT_TRUE(MenuScene::IsPointOver(b, {400.0f, 348.0f}));
    EXPECT_TRUE(MenuScene::IsPointOver(b, {525.0f, 348.0f}));
    EXPECT_TRUE(MenuScene::IsPointOver(b, {276.0f, 253.0f}));
    EXPECT_FALSE(MenuScene::IsPointOver(b, {526.0f, 300.0f}));
    EXPECT_FALSE(MenuScene::IsPointOver(b, {400.0f, 349.0f}));
}

TEST_F(MenuSceneTest, HoverMakesBillAndWordTranslucentAndLeavingRestoresThem) {
    MenuScene& menu = InstallMenu();
    menu.UpdateButton(true, false);
    EXPECT_EQ(menu.LargeBill().getColor(), sf::Color(255, 255, 255, 200));
    EXPECT_EQ(menu.PlayText().getFillColor(), sf::Color(0, 0, 0, 200));
    EXPECT_EQ(g_currentScene.get(), &menu);

    menu.UpdateButton(false, false);
    EXPECT_EQ(menu.LargeBill().getColor(), sf::Color::White);
    EXPECT_EQ(menu.PlayText().getFillColor(), sf::Color::Black);

    // The left button away from the bill starts nothing.
    menu.UpdateButton(false, true);
    EXPECT_EQ(g_currentScene.get(), &menu);
}

TEST_F(MenuSceneTest, AClickOnTheBillStartsAGameThatReadsItsImagesFromDiskAgain) {
    ContentCopy copy;
    ScopedWorkingDir cwd(copy.Root());
    MenuScene& menu = InstallMenu();
    const sf::Vector2u menuTile = g_content.GetTexture("Bill", false).getSize();
    // Swap the picture on disk: the game must see the new one, not the menu's texture.
    WritePng(copy.File("moneybill.png"), menuTile.x + 7, menuTile.y + 3);

    menu.UpdateButton(true, true);
    auto* game = dynamic_cast<MainGameScene*>(g_currentScene.get());
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(g_content.GetTexture("Bill", false).getSize(),
              sf::Vector2u(menuTile.x + 7, menuTile.y + 3));
    EXPECT_FALSE(g_quit);
}

TEST_F(MenuSceneTest, WithoutContentEachImageFailsTwiceInLoadOrderAndTheFontSilently) {
    TempDir empty;
    ScopedWorkingDir cwd(empty.Path());
    CaptureStdout();
    const MenuScene& menu = InstallMenu();
    EXPECT_EQ(GetCapturedStdout(), "Could not load file from: Content/moneybill.png\n"
                                   "Could not load image: Bill\n"
                                   "Could not load file from: Content/largebill.png\n"
                                   "Could not load image: Large bill\n");
    EXPECT_TRUE(g_quit);
    EXPECT_EQ(menu.Backdrop().size(), 1u);
}

TEST_F(MenuSceneTest, AMissingFontQuitsWithoutALine) {
    ContentCopy copy;
    std::filesystem::remove(copy.File("LiberationMono-Bold.ttf"));
    ScopedWorkingDir cwd(copy.Root());
    CaptureStdout();
    const MenuScene& menu = InstallMenu();
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_TRUE(g_quit);
    // The rest of the loading still ran.
    EXPECT_GT(menu.Backdrop().size(), 1u);
}
