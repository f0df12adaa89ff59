#pragma once

#include "app/ChangeScene.hpp"
#include "app/Globals.hpp"
#include "content/ContentManager.hpp"
#include "game/MainGameScene.hpp"
#include "menu/MenuScene.hpp"

#include <SFML/Graphics.hpp>
#include <SFML/Window.hpp>

#include <filesystem>
#include <random>
#include <set>

// The time and the input the game reads, as a test sets them: support/Desk.cpp puts these in
// the place of SFML's clock, keyboard and mouse.
struct Desk {
    sf::Time now;
    std::set<int> keys, buttons;
    sf::Vector2i mouse;
};
extern Desk g_desk;
inline void Tick(double seconds) {
    g_desk.now += sf::seconds(static_cast<float>(seconds));
}

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

// As the program starts: no scene, no content, no quit, no input, the clock at 0, focused.
inline void ResetGlobals() {
    g_currentScene.reset();
    g_content.UnloadAll();
    g_quit = false;
    g_wheelDelta = 0;
    g_hasFocus = true;
    g_desk = Desk();
}

template <class S> S& Install() {
    auto scene = std::make_unique<S>();
    S& raw = *scene;
    ChangeScene(std::move(scene));
    return raw;
}

// A copy of the shipped Content/ in a fresh folder that is the working directory meanwhile.
struct ContentCopy {
    ContentCopy() {
        std::filesystem::create_directories(dir);
        std::filesystem::copy(back / "Content", dir / "Content",
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path(dir);
    }
    ~ContentCopy() {
        g_currentScene.reset(); // it may hold a font open in here, which Windows would keep
        std::filesystem::current_path(back);
        std::filesystem::remove_all(dir);
    }
    const std::filesystem::path back = std::filesystem::current_path();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("zorvane-" + std::to_string(std::random_device()()));
};

inline std::string WritePng(const std::string& path, unsigned width, unsigned height) {
    sf::Image image;
    image.create(width, height, sf::Color::Red);
    image.saveToFile(path + ".png"); // the format comes from the ending
    std::filesystem::rename(path + ".png", path);
    return path;
}

// What the window shows after a Draw: here the back buffer keeps the frame it presented.
inline sf::Image Shown(const sf::RenderWindow& window) {
    sf::Texture frame;
    frame.create(window.getSize().x, window.getSize().y);
    frame.update(window);
    return frame.copyToImage();
}
inline bool Same(const sf::Image& a, const sf::Image& b) {
    return a.getSize() == b.getSize() &&
           std::equal(a.getPixelsPtr(), a.getPixelsPtr() + a.getSize().x * a.getSize().y * 4,
                      b.getPixelsPtr());
}

// Whether the frame shows exactly the backdrop of "Bill" drawn tile by tile over white, then
// the given items in their order.
inline bool Shows(const sf::Image& frame, sf::RenderWindow& window,
                  const std::vector<const sf::Drawable*>& items) {
    TiledBackdrop tiles;
    BuildBackdrop(tiles, sf::Sprite(g_content.GetTexture("Bill", false)));
    window.clear(sf::Color::White);
    for (const sf::Sprite& tile : tiles) {
        window.draw(tile);
    }
    for (const sf::Drawable* item : items) {
        window.draw(*item);
    }
    return Same(frame, Shown(window));
}

// Entities of a chosen size and no texture: a sprite's size is its texture rectangle.
inline sf::Sprite Centred(int width, int height, float x, float y) {
    sf::Sprite sprite;
    sprite.setTextureRect({0, 0, width, height});
    sprite.setOrigin(width * 0.5f, height * 0.5f);
    sprite.setPosition(x, y);
    return sprite;
}
inline FallingBill BillAt(float x, float y, float hour, float minute) {
    return {Centred(180, 110, x, y), sf::Text(), hour, minute};
}
inline FiredClock ClockAt(float x, float y, float hour, float minute) {
    return {Centred(26, 26, x, y), hour, minute, false, false};
}
