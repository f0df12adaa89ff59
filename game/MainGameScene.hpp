#pragma once

#include "app/Scene.hpp"
#include "entities/BillManager.hpp"
#include "entities/FiredClock.hpp"
#include "entities/PlayerClock.hpp"
#include "menu/TiledBackdrop.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Clock.hpp>

#include <vector>

// What one frame of play reads from outside the scene: live input and the scene's clocks in the
// running game, chosen values in tests.
struct GameFrame {
    int mouseX = 0;
    float spawnElapsed = 0.0f;
    double billSeconds = 0.0;
    double firedSeconds = 0.0;
    float recoilSeconds = 0.0f;
};

// The keys and buttons the game reacts to, with the time since the last accepted shot.
struct GameKeys {
    bool escape = false;
    bool enter = false;
    bool leftButton = false;
    bool rightButton = false;
    float sinceLastShot = 0.0f;
};

// The play field: bills fall, the player's clock fires small clocks at them, until the lives
// run out and the field freezes under the game-over panel.
class MainGameScene final : public Scene {
public:
    void LoadContent(ContentManager& content) override;
    void HandleInput() override;
    void Update(sf::RenderWindow& window) override;
    void Draw(sf::RenderWindow& window) override;

    // HandleInput on chosen keys. Escape or a restart replace this scene, which is then gone.
    void HandleKeys(const GameKeys& keys);
    // Update after the cursor rule, on chosen readings; does nothing once the game is over.
    void Advance(const GameFrame& frame);

    void FireClock();
    void MoveFiredClocks(double seconds);

    int Score() const { return m_score; }
    int Lives() const { return m_lives; }
    bool IsGameOver() const { return m_gameOver; }
    bool IsFireRequested() const { return m_fireRequested; }
    double SpawnRate() const { return m_spawnRate; }
    int FiredClockSpeed() const { return m_firedClockSpeed; }
    PlayerClock& Player() { return m_playerClock; }
    BillManager& Bills() { return m_bills; }
    std::vector<FiredClock>& FiredClocks() { return m_firedClocks; }
    const TiledBackdrop& Backdrop() const { return m_backdrop; }
    const sf::Sprite& ScorePanel() const { return m_scorePanel; }
    const sf::Sprite& GameOverPanel() const { return m_gameOverPanel; }
    const sf::Text& ScoreText() const { return m_scoreText; }
    const sf::Text& LivesText() const { return m_livesText; }
    const sf::Text& GameOverText() const { return m_gameOverText; }
    const sf::Text& RestartText() const { return m_restartText; }
    const sf::Sprite& FiredClockSprite() const { return m_firedClockSprite; }

    // The difficulty latch, shared by every game of the run.
    static bool& RampArmed();

private:
    void ApplyRamp();

    PlayerClock m_playerClock;
    BillManager m_bills;
    TiledBackdrop m_backdrop;
    int m_score = 0;
    int m_lives = 0;
    sf::Text m_scoreText;
    sf::Text m_livesText;
    sf::Font m_font;
    sf::Sprite m_scorePanel;
    sf::Sprite m_gameOverPanel;
    sf::Text m_gameOverText;
    sf::Text m_restartText;
    sf::Clock m_spawnClock;
    double m_spawnRate = 0.0;
    bool m_fireRequested = false;
    sf::Clock m_fireCooldownClock;
    std::vector<FiredClock> m_firedClocks;
    sf::Clock m_firedMoveClock;
    int m_firedClockSpeed = 0;
    sf::Sprite m_firedClockSprite;
    sf::Clock m_recoilClock;
    bool m_gameOver = false;
};
