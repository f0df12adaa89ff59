#pragma once

#include "app/Clock.hpp"
#include "app/SfmlAdapter.hpp"
#include "entities/FallingBill.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include <vector>

class ContentManager;

// Owns the falling bills with their template, font and common fall speed.
class BillManager {
public:
    void Init(ContentManager& content);
    void SpawnBill();
    // Moves every bill by the fall speed over the time since the last move; returns how many
    // left the window through the bottom and were removed.
    int MoveBills();

    std::vector<FallingBill>& List() { return m_list; }
    const std::vector<FallingBill>& List() const { return m_list; }
    void AddFallSpeed(int pixelsPerSecond) { m_fallSpeed += pixelsPerSecond; }

private:
    friend struct TestPeer; // the tests' one way in

    std::vector<FallingBill> m_list;
    sf::Sprite m_template = EmptySprite();
    sf::Font m_digitalFont;
    Clock m_moveClock;
    int m_fallSpeed = 0;
};
