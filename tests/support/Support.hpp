#pragma once

#include "app/ChangeScene.hpp"
#include "app/Globals.hpp"
#include "app/SfmlAdapter.hpp"
#include "content/ContentManager.hpp"
#include "game/MainGameScene.hpp"
#include "menu/MenuScene.hpp"

#include <SFML/Graphics.hpp>

#include <gtest/gtest.h>
#include <set>

// The time and input the game reads, as a test sets them: Desk.cpp stands in for the devices.
// Each test runs in a process of its own, so this and the game's globals start as in the program.
using Button = sf::Mouse::Button;
using Key = sf::Keyboard::Key;
struct Desk {
    sf::Time now;
    std::set<Key> keys;
    std::set<Button> buttons;
    sf::Vector2i mouse;
};
extern Desk g_desk;

// The tests' one way into the game's private state; those classes befriend it.
struct TestPeer {
    static auto& Textures(ContentManager& content) { return content.m_textures; }
    static auto& LargeBill(MenuScene& menu) { return menu.m_largeBill; }
    static auto& PlayText(MenuScene& menu) { return menu.m_playText; }
    static auto& Bills(MainGameScene& game) { return game.m_bills.List(); }
    static auto& FallSpeed(MainGameScene& game) { return game.m_bills.m_fallSpeed; }
    static auto& Score(MainGameScene& game) { return game.m_score; }
    static auto& Lives(MainGameScene& game) { return game.m_lives; }
    static auto& SpawnClock(MainGameScene& game) { return game.m_spawnClock; }
    static auto& SpawnRate(MainGameScene& game) { return game.m_spawnRate; }
    static auto& GameOver(MainGameScene& game) { return game.m_gameOver; }
    static auto& FiredClocks(MainGameScene& game) { return game.m_firedClocks; }
    static auto& FireRequested(MainGameScene& game) { return game.m_fireRequested; }
    static auto& PlayerClockOf(MainGameScene& game) { return game.m_playerClock; }
    static auto& StandsAt(PlayerClock& clock) { return clock.m_y; }
};

// A window for the scenes, which has the focus as a freshly opened one does, and a frame of the
// loop's input and update, the step after the last.
struct SceneTest : testing::Test {
    SceneTest() { g_hasFocus = true; }
    template <class S> S& Start() {
        ChangeScene(std::make_unique<S>());
        return static_cast<S&>(*g_currentScene);
    }
    void Frame(sf::Time step) {
        g_desk.now += step;
        g_currentScene->HandleInput();
        g_currentScene->Update(window);
    }
    MainGameScene& Game() { return dynamic_cast<MainGameScene&>(*g_currentScene); }
    static constexpr Button Left = Button::Left, Right = Button::Right, Middle = Button::Middle;
    sf::RenderWindow window{WindowMode(800, 600), "test", sf::Style::None};
};

// Records of a chosen size centred at x, y, without a texture: the size is the texture rectangle.
inline sf::Sprite Centred(int width, int height, float x, float y) {
    sf::Sprite sprite = EmptySprite();
    sprite.setTextureRect({{0, 0}, {width, height}});
    sprite.setOrigin({static_cast<float>(width) / 2, static_cast<float>(height) / 2});
    sprite.setPosition({x, y});
    return sprite;
}
inline FallingBill BillAt(float x, float y, float hour, float minute = 0) {
    return {Centred(180, 110, x, y), EmptyText(), hour, minute};
}
inline FiredClock ClockAt(float x, float y, float hour, float minute = 0) {
    return {Centred(26, 26, x, y), hour, minute, false, false};
}
