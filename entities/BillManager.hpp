#pragma once

#include "entities/FallingBill.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/Clock.hpp>

#include <vector>

class ContentManager;

// Owns the falling bills with their template, font and common fall speed.
class BillManager {
public:
    void Init(ContentManager& content);
    void SpawnBill();
    // Seconds since the last move (or since Init), restarting the count.
    double RestartMoveClock();
    // Moves every bill by the fall speed over the time step; returns how many left the window
    // through the bottom and were removed.
    int MoveBills(double seconds);

    std::vector<FallingBill>& List() { return m_list; }
    const std::vector<FallingBill>& List() const { return m_list; }
    int FallSpeed() const { return m_fallSpeed; }
    void AddFallSpeed(int pixelsPerSecond) { m_fallSpeed += pixelsPerSecond; }
    const sf::Sprite& Template() const { return m_template; }
    const sf::Font& DigitalFont() const { return m_digitalFont; }

private:
    std::vector<FallingBill> m_list;
    sf::Sprite m_template;
    sf::Font m_digitalFont;
    sf::Clock m_moveClock;
    int m_fallSpeed = 0;
};
