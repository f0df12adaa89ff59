#pragma once

#include "app/Clock.hpp"
#include "app/Scene.hpp"
#include "app/SfmlAdapter.hpp"
#include "entities/BillManager.hpp"
#include "entities/FiredClock.hpp"
#include "entities/PlayerClock.hpp"
#include "menu/ComposedBackdrop.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <vector>

// The play field: bills fall, the player's clock fires small clocks at them, until the lives
// run out and the field freezes under the game-over panel.
class MainGameScene final : public Scene {
public:
    void LoadContent(ContentManager& content) override;
    void HandleInput() override;
    void Update(sf::RenderWindow& window) override;
    void Draw(sf::RenderWindow& window) override;

private:
    friend struct TestPeer; // the tests' one way in

    void FireClock();
    void MoveFiredClocks();
    void ApplyRamp();

    PlayerClock m_playerClock;
    BillManager m_bills;
    ComposedBackdrop m_backdrop;
    int m_score = 0;
    int m_lives = 0;
    sf::Text m_scoreText = EmptyText();
    sf::Text m_livesText = EmptyText();
    sf::Font m_font;
    sf::Sprite m_scorePanel = EmptySprite();
    sf::Sprite m_gameOverPanel = EmptySprite();
    sf::Text m_gameOverText = EmptyText();
    sf::Text m_restartText = EmptyText();
    Clock m_spawnClock;
    double m_spawnRate = 0.0;
    bool m_fireRequested = false;
    Clock m_fireCooldownClock;
    std::vector<FiredClock> m_firedClocks;
    Clock m_firedMoveClock;
    int m_firedClockSpeed = 0;
    sf::Sprite m_firedClockSprite = EmptySprite();
    Clock m_recoilClock;
    bool m_gameOver = false;
};
