#include "support/Support.hpp"

#include <gtest/gtest.h>

struct MenuSceneTest : testing::Test {
    void SetUp() override {
        ResetGlobals();
        menu = &Install<MenuScene>();
        ASSERT_FALSE(g_quit);
    }
    sf::RenderWindow window{sf::VideoMode(800, 600), "menu", sf::Style::None};
    MenuScene* menu = nullptr;
};

TEST_F(MenuSceneTest, ThePointerOverTheBillTurnsBillAndWordTranslucentRightAndBottomEdgesIncluded) {
    const sf::FloatRect b = (menu->*P::largeBill).getGlobalBounds();
    EXPECT_EQ(sf::Vector2f(b.left + b.width / 2, b.top + b.height / 2), sf::Vector2f(400, 300));
    const int left = b.left, top = b.top, right = b.left + b.width, bottom = b.top + b.height;
    for (const auto& [x, y, over] : {std::tuple(left, 300, false),
                                     {left + 1, 300, true},
                                     {right, 300, true},
                                     {right + 1, 300, false},
                                     {400, top, false},
                                     {400, top + 1, true},
                                     {400, bottom, true},
                                     {400, bottom + 1, false},
                                     {-5, -5, false}}) {
        g_desk.mouse = {x, y};
        menu->Update(window);
        const sf::Uint8 alpha = over ? 200 : 255;
        EXPECT_EQ((menu->*P::largeBill).getColor(), sf::Color(255, 255, 255, alpha))
            << x << "," << y;
        EXPECT_EQ((menu->*P::playText).getFillColor(), sf::Color(0, 0, 0, alpha)) << x << "," << y;
    }
}

TEST_F(MenuSceneTest, OnlyTheLeftButtonOverTheBillStartsAGameAndKeysDoNothing) {
    g_desk.keys = {sf::Keyboard::Escape, sf::Keyboard::Return};
    for (const auto& [buttons, at] :
         {std::pair(std::set<int>{sf::Mouse::Right, sf::Mouse::Middle}, sf::Vector2i(400, 300)),
          {{sf::Mouse::Left}, {100, 100}}}) {
        g_desk.buttons = buttons;
        g_desk.mouse = at;
        g_currentScene->HandleInput();
        g_currentScene->Update(window);
    }
    ASSERT_EQ(g_currentScene.get(), menu);
    g_desk.mouse = {400, 300};
    menu->Update(window);
    EXPECT_NE(dynamic_cast<MainGameScene*>(g_currentScene.get()), nullptr);
}

TEST_F(MenuSceneTest, AFrameIsTheBackdropTheOutlinedTitleTheCreditThenPlayOnTheBill) {
    g_desk.mouse = {400, 300}; // translucent, so what lies under the bill shows
    menu->Update(window);
    menu->Draw(window);
    const sf::Text& title = menu->*P::titleText;
    const sf::Text& credit = menu->*P::creditText;
    const sf::Text& play = menu->*P::playText;
    EXPECT_EQ(std::tuple(title.getString(), title.getCharacterSize(), credit.getString(),
                         credit.getCharacterSize(), play.getString(), play.getCharacterSize()),
              std::tuple(sf::String("ZORVANE"), 70u, sf::String("Made by Ostrevik"), 15u,
                         sf::String("PLAY"), 60u));
    const sf::FloatRect size = credit.getLocalBounds();
    EXPECT_EQ(credit.getPosition(), sf::Vector2f(790 - size.width, 590 - size.height));
    EXPECT_EQ(title.getPosition(), sf::Vector2f(400 - title.getLocalBounds().width / 2, 60));
    EXPECT_EQ(play.getPosition(), (menu->*P::largeBill).getPosition() + sf::Vector2f(25, 5));
    std::vector<sf::Text> outline(4, title);
    std::vector<const sf::Drawable*> stack;
    for (std::size_t i = 0; i < 4; ++i) { // white copies on the four diagonals only
        outline[i].setFillColor(sf::Color::White);
        outline[i].move(i % 2 ? 4 : -4, i < 2 ? -4 : 4);
        stack.push_back(&outline[i]);
    }
    stack.insert(stack.end(), {&title, &credit, &(menu->*P::largeBill), &play});
    EXPECT_TRUE(Shows(Shown(window), window, stack));
}
