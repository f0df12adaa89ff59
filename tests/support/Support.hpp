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
struct Desk {
    sf::Time now;
    std::set<sf::Keyboard::Key> keys;
    std::set<sf::Mouse::Button> buttons;
    sf::Vector2i mouse;
};
extern Desk g_desk;

// The tests' one way into the game's private state; those classes befriend it.
struct TestPeer {
    static constexpr auto textures = &ContentManager::m_textures;
    static constexpr auto largeBill = &MenuScene::m_largeBill;
    static constexpr auto playText = &MenuScene::m_playText;
    static constexpr auto bills = &MainGameScene::m_bills;
    static constexpr auto score = &MainGameScene::m_score;
    static constexpr auto lives = &MainGameScene::m_lives;
    static constexpr auto spawnClock = &MainGameScene::m_spawnClock;
    static constexpr auto spawnRate = &MainGameScene::m_spawnRate;
    static constexpr auto gameOver = &MainGameScene::m_gameOver;
    static constexpr auto fired = &MainGameScene::m_firedClocks;
    static constexpr auto fireRequested = &MainGameScene::m_fireRequested;
    static constexpr auto fallSpeed = &BillManager::m_fallSpeed;
    static constexpr auto playerClock = &MainGameScene::m_playerClock;
    static constexpr auto y = &PlayerClock::m_y;
};
using P = TestPeer;
inline constexpr sf::Mouse::Button L = sf::Mouse::Button::Left, R = sf::Mouse::Button::Right,
                                   M = sf::Mouse::Button::Middle;
inline constexpr sf::Keyboard::Key Return = k_enterKey;

// A window for the scenes, and a frame of the loop's input and update, the step after the last.
struct SceneTest : testing::Test {
    void Frame(sf::Time step) {
        g_desk.now += step;
        g_currentScene->HandleInput();
        g_currentScene->Update(window);
    }
    MainGameScene& Game() { return dynamic_cast<MainGameScene&>(*g_currentScene); }
    sf::RenderWindow window{WindowMode(800, 600), "test", sf::Style::None};
};

// Records of a chosen size centred at x, y, without a texture: the size is the texture rectangle.
inline sf::Sprite Centred(int width, int height, float x, float y) {
    sf::Sprite sprite = EmptySprite();
    sprite.setTextureRect({{0, 0}, {width, height}});
    sprite.setOrigin({width * 0.5f, height * 0.5f});
    sprite.setPosition({x, y});
    return sprite;
}
inline FallingBill BillAt(float x, float y, float hour, float minute = 0) {
    return {Centred(180, 110, x, y), EmptyText(), hour, minute};
}
inline FiredClock ClockAt(float x, float y, float hour, float minute = 0) {
    return {Centred(26, 26, x, y), hour, minute, false, false};
}
