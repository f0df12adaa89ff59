#pragma once

#include "app/ChangeScene.hpp"
#include "app/Globals.hpp"
#include "content/ContentManager.hpp"
#include "game/MainGameScene.hpp"
#include "menu/MenuScene.hpp"

#include <SFML/Graphics.hpp>

#include <set>

// The time and input the game reads, as a test sets them: Desk.cpp stands in for SFML's. Each
// test runs in a process of its own, so this and the game's globals start as the program does.
struct Desk {
    sf::Time now;
    std::set<int> keys, buttons;
    sf::Vector2i mouse;
};
extern Desk g_desk;

// The tests' one way into the game's private state; those classes befriend it.
struct TestPeer {
    static constexpr auto textures = &ContentManager::m_textures;
    static constexpr auto largeBill = &MenuScene::m_largeBill;
    static constexpr auto playText = &MenuScene::m_playText;
    static constexpr auto titleText = &MenuScene::m_titleText;
    static constexpr auto creditText = &MenuScene::m_creditText;
    static constexpr auto player = &MainGameScene::m_playerClock;
    static constexpr auto bills = &MainGameScene::m_bills;
    static constexpr auto score = &MainGameScene::m_score;
    static constexpr auto lives = &MainGameScene::m_lives;
    static constexpr auto scoreText = &MainGameScene::m_scoreText;
    static constexpr auto livesText = &MainGameScene::m_livesText;
    static constexpr auto scorePanel = &MainGameScene::m_scorePanel;
    static constexpr auto overPanel = &MainGameScene::m_gameOverPanel;
    static constexpr auto overText = &MainGameScene::m_gameOverText;
    static constexpr auto restartText = &MainGameScene::m_restartText;
    static constexpr auto spawnRate = &MainGameScene::m_spawnRate;
    static constexpr auto fireRequested = &MainGameScene::m_fireRequested;
    static constexpr auto fired = &MainGameScene::m_firedClocks;
    static constexpr auto gameOver = &MainGameScene::m_gameOver;
    static constexpr auto y = &PlayerClock::m_y;
    static constexpr auto fallSpeed = &BillManager::m_fallSpeed;
};
using P = TestPeer;

template <class S, class... Args> S& Install(Args&&... args) {
    auto scene = std::make_unique<S>(std::forward<Args>(args)...);
    S& raw = *scene;
    ChangeScene(std::move(scene));
    return raw;
}

// What an 800x600 window shows: after a Draw, the back buffer still holds the frame it presented.
inline std::vector<sf::Uint8> Shown(const sf::RenderWindow& window) {
    sf::Texture frame;
    frame.create(800, 600);
    frame.update(window);
    const sf::Image image = frame.copyToImage();
    return {image.getPixelsPtr(), image.getPixelsPtr() + 800 * 600 * 4};
}

// Whether the window shows "Bill" tiled row by row at alpha 100 over white, then the items drawn
// in this order.
inline bool Shows(sf::RenderWindow& window, const std::vector<const sf::Drawable*>& items) {
    const std::vector<sf::Uint8> frame = Shown(window);
    window.clear(sf::Color::White);
    sf::Sprite tile(g_content.GetTexture("Bill", false));
    tile.setColor({255, 255, 255, 100});
    const sf::Vector2u size = tile.getTexture()->getSize();
    for (unsigned y = 0; y < 600; y += size.y)
        for (unsigned x = 0; x < 800; x += size.x) {
            tile.setPosition(x, y);
            window.draw(tile);
        }
    for (const sf::Drawable* item : items)
        window.draw(*item);
    return Shown(window) == frame;
}

// A sprite of a chosen size centred at x, y, without a texture: its size is its texture rectangle.
inline sf::Sprite Centred(int width, int height, float x, float y) {
    sf::Sprite sprite;
    sprite.setTextureRect({0, 0, width, height});
    sprite.setOrigin(width * 0.5f, height * 0.5f);
    sprite.setPosition(x, y);
    return sprite;
}
inline FallingBill BillAt(float x, float y, float hour, float minute = 0) {
    return {Centred(180, 110, x, y), sf::Text(), hour, minute};
}
inline FiredClock ClockAt(float x, float y, float hour, float minute = 0) {
    return {Centred(26, 26, x, y), hour, minute, false, false};
}
