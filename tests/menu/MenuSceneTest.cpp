#include "support/Support.hpp"

#include <gtest/gtest.h>

struct MenuSceneTest : testing::Test {
    sf::RenderWindow window{sf::VideoMode(800, 600), "menu", sf::Style::None};
    MenuScene* menu = &Install<MenuScene>();
};

TEST_F(MenuSceneTest, OverTheBillItAndPlayTurnTranslucentAndOnlyTheLeftButtonStartsAGame) {
    const sf::FloatRect b = (menu->*P::largeBill).getGlobalBounds(); // right, bottom edges count
    const int left = b.left, top = b.top, right = b.left + b.width, bottom = b.top + b.height;
    g_desk.keys = {sf::Keyboard::Escape, sf::Keyboard::Return}; // keys do nothing here
    const std::tuple<int, int, sf::Mouse::Button, sf::Uint8> points[] = {
        {left, 300, sf::Mouse::Left, 255},    {left + 1, 300, sf::Mouse::Right, 200},
        {right, 300, sf::Mouse::Middle, 200}, {right + 1, 300, sf::Mouse::Left, 255},
        {400, top, sf::Mouse::Left, 255},     {400, top + 1, sf::Mouse::Right, 200},
        {400, bottom, sf::Mouse::Right, 200}, {400, bottom + 1, sf::Mouse::Left, 255}};
    for (const auto& [x, y, button, alpha] : points) {
        g_desk.mouse = {x, y};
        g_desk.buttons = {button};
        menu->HandleInput();
        menu->Update(window);
        ASSERT_EQ(g_currentScene.get(), menu) << x << "," << y;
        EXPECT_EQ(std::pair((menu->*P::largeBill).getColor(), (menu->*P::playText).getFillColor()),
                  std::pair(sf::Color(255, 255, 255, alpha), sf::Color(0, 0, 0, alpha)))
            << x << "," << y;
    }
    g_desk = {{}, {}, {sf::Mouse::Left}, {right, bottom}};
    menu->Update(window);
    EXPECT_NE(dynamic_cast<MainGameScene*>(g_currentScene.get()), nullptr);
}

TEST_F(MenuSceneTest, AFrameIsTheBackdropTheOutlinedTitleTheCreditThenPlayOnTheBill) {
    g_desk.mouse = {400, 300}; // translucent, so what lies under the bill shows
    menu->Update(window);
    menu->Draw(window);
    const sf::Text& title = menu->*P::titleText;
    EXPECT_EQ(title.getFillColor(), sf::Color::Black); // left as it was found
    std::vector<sf::Text> outline(4, title);
    std::vector<const sf::Drawable*> stack;
    for (std::size_t i = 0; i < 4; ++i) { // white copies on the four diagonals only
        outline[i].setFillColor(sf::Color::White);
        outline[i].move(i % 2 ? 4 : -4, i < 2 ? -4 : 4);
        stack.push_back(&outline[i]);
    }
    stack.insert(stack.end(),
                 {&title, &(menu->*P::creditText), &(menu->*P::largeBill), &(menu->*P::playText)});
    EXPECT_TRUE(Shows(window, stack));
}
