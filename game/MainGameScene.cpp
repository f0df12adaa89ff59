#include "game/MainGameScene.hpp"

#include "app/ChangeScene.hpp"
#include "app/DecimalText.hpp"
#include "app/Devices.hpp"
#include "app/Globals.hpp"
#include "app/Input.hpp"
#include "app/Platform.hpp"
#include "content/ContentManager.hpp"
#include "content/Files.hpp"
#include "menu/MenuScene.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include <cstdlib>
#include <ctime>
#include <locale>

void MainGameScene::LoadContent(ContentManager& content) {
    content.LoadFile("Bill", "Content/moneybill.png");
    content.LoadFile("Large bill", "Content/largebill.png");
    content.LoadFile("Player clock", "Content/playerclock.png");
    content.LoadFile("Blank bill", "Content/moneybill_blank.png");
    content.LoadFile("Clock hand", "Content/clockhand.png");

    m_scorePanel = sf::Sprite(content.GetTexture("Large bill", false));
    m_scorePanel.setPosition({10.0f, 10.0f});
    const sf::Color panel = m_scorePanel.getColor();
    m_scorePanel.setColor(sf::Color(panel.r, panel.g, panel.b, 200));

    m_gameOverPanel = m_scorePanel;
    const sf::Vector2f panelSize = SizeOf(m_gameOverPanel.getLocalBounds());
    m_gameOverPanel.setPosition({static_cast<float>(400.0 - panelSize.x * 0.5),
                                 static_cast<float>(300.0 - panelSize.y * 0.5)});

    content.LoadFile("Small clock", "Content/smallclock.png");
    m_firedClockSprite = sf::Sprite(content.GetTexture("Small clock", false));

    m_playerClock.Init(content);
    m_bills.Init(content);
    TiledBackdrop tiles;
    BuildBackdrop(tiles, sf::Sprite(content.GetTexture("Bill", false)));
    m_backdrop.Compose(tiles);

    m_spawnClock.Restart();
    m_spawnRate = 0.2;
    // Spawned before the generator is seeded: the first bill of a run is always the same.
    m_bills.SpawnBill();

    m_fireRequested = false;
    m_fireCooldownClock.Restart();
    m_firedMoveClock.Restart();
    m_score = 0;
    m_firedClockSpeed = 300;
    m_lives = 5;

    if (!LoadFont(m_font, "Content/LiberationMono-Bold.ttf")) {
        g_quit = true;
    }
    m_scoreText.setFont(m_font);
    m_scoreText.setFillColor(sf::Color::Black);
    m_livesText = m_scoreText;
    m_scoreText.setPosition({22.0f, 15.0f});
    m_livesText.setPosition({22.0f, 50.0f});

    m_gameOverText.setFont(m_font);
    m_gameOverText.setFillColor(sf::Color::Black);
    SetString(m_gameOverText, sf::String("GAME OVER", std::locale()));
    m_gameOverText.setPosition(m_gameOverPanel.getPosition() + sf::Vector2f(20.0f, 20.0f));

    m_restartText = m_gameOverText;
    m_restartText.setCharacterSize(10);
    SetString(m_restartText, sf::String("Press enter to try again", std::locale()));
    m_restartText.setPosition(m_gameOverText.getPosition() + sf::Vector2f(10.0f, 40.0f));

    m_gameOver = false;
    std::srand(static_cast<unsigned int>(std::time(nullptr)));
}

void MainGameScene::HandleInput() {
    if (KeyHeld(sf::Keyboard::Key::Escape)) {
        ChangeScene(std::make_unique<MenuScene>());
        return; // this scene is gone
    }
    if ((ButtonHeld(sf::Mouse::Button::Left) || ButtonHeld(sf::Mouse::Button::Right)) &&
        m_fireCooldownClock.Elapsed().asSeconds() > 0.5f) {
        m_fireCooldownClock.Restart();
        m_fireRequested = true;
    }
    if (m_gameOver && KeyHeld(k_enterKey)) {
        ChangeScene(std::make_unique<MainGameScene>());
        return; // this scene is gone
    }
}

void MainGameScene::Update(sf::RenderWindow& window) {
    const bool pointerShown =
        KeyHeld(sf::Keyboard::Key::LControl) || KeyHeld(sf::Keyboard::Key::RControl);
    window.setMouseCursorVisible(pointerShown);
    // In play the pointer stays in the window; Ctrl frees it, as do a lost game and the focus
    // going to another window.
    ConfinePointer(window, g_hasFocus && !pointerShown && !m_gameOver);
    if (m_gameOver) {
        return; // a lost game stands still
    }
    if (g_wheelDelta != 0) {
        m_playerClock.TurnHands();
    }
    g_wheelDelta = 0;
    m_playerClock.PlaceClock(PointerPosition(window).x);

    // One bill at most per frame; time beyond the interval is not carried over.
    if (m_spawnClock.Elapsed().asSeconds() > 1.0 / m_spawnRate) {
        m_spawnClock.Restart();
        m_bills.SpawnBill();
    }

    m_lives -= m_bills.MoveBills();
    if (m_lives <= 0) {
        m_gameOver = true; // the losing frame still runs to its end
    }

    if (m_fireRequested) {
        m_fireRequested = false;
        FireClock();
        m_playerClock.SetRecoiling(true);
    }
    MoveFiredClocks();
    if (ResolveHits(m_bills.List(), m_firedClocks)) {
        ++m_score;
    }

    SetString(m_scoreText, sf::String("Score: " + DecimalText(m_score), std::locale()));
    SetString(m_livesText, sf::String("Lives: " + DecimalText(m_lives), std::locale()));

    ApplyRamp();

    // Restarted in every frame, so a recoil's first step is one frame long.
    const float step = m_recoilClock.Restart().asSeconds();
    if (m_playerClock.IsRecoiling() && m_playerClock.Recoil(static_cast<double>(step))) {
        m_playerClock.SetRecoiling(false);
    }
}

void MainGameScene::ApplyRamp() {
    // One latch for the whole run; every game still ramps once at each tenth point, since its
    // score starts at 0 and rises by one at most per frame.
    static bool s_rampArmed = true;
    if (s_rampArmed && m_score != 0 && m_score % 10 == 0) {
        s_rampArmed = false;
        if (m_score == 10) {
            m_bills.AddFallSpeed(30);
            m_spawnRate *= 1.5;
        } else if (m_score == 20) {
            m_bills.AddFallSpeed(15);
            m_spawnRate *= 1.3;
        } else {
            m_bills.AddFallSpeed(10);
            m_spawnRate *= 1.2;
        }
    }
    if (m_score % 10 != 0) {
        s_rampArmed = true;
    }
}

void MainGameScene::FireClock() {
    m_firedClocks.push_back(MakeFiredClock(m_firedClockSprite, m_playerClock));
}

void MainGameScene::MoveFiredClocks() {
    ::MoveFiredClocks(m_firedClocks, m_firedClockSpeed, m_firedMoveClock.Restart().asSeconds());
}

void MainGameScene::Draw(sf::RenderWindow& window) {
    const sf::RenderStates& states = sf::RenderStates::Default;
    window.clear(sf::Color::White);
    window.draw(m_backdrop, states);
    for (const FiredClock& clock : m_firedClocks) {
        window.draw(clock.sprite, states);
    }
    window.draw(m_playerClock.Body(), states);
    window.draw(m_playerClock.MinuteHand(), states);
    window.draw(m_playerClock.HourHand(), states);
    for (const FallingBill& bill : m_bills.List()) {
        window.draw(bill.sprite, states);
        window.draw(bill.text, states);
    }
    window.draw(m_scorePanel, states);
    window.draw(m_scoreText, states);
    window.draw(m_livesText, states);
    if (m_gameOver) {
        window.draw(m_gameOverPanel, states);
        window.draw(m_gameOverText, states);
        window.draw(m_restartText, states);
    }
    window.display();
}
