#pragma once

#include "app/SfmlAdapter.hpp"

#include <SFML/Graphics/Sprite.hpp>

class ContentManager;

// The player's analogue clock at the bottom: follows the mouse, shows the time set by the wheel,
// and sinks to the bottom edge and climbs back after each shot.
class PlayerClock {
public:
    void Init(ContentManager& content);
    void PlaceClock(int x);
    // Turns the hands by the stored wheel delta and folds the time onto a twelve-hour dial.
    void TurnHands();
    // One step of the recoil over dt seconds; true when the recoil has just ended.
    bool Recoil(double dt);

    const sf::Sprite& Body() const { return m_body; }
    const sf::Sprite& MinuteHand() const { return m_minuteHand; }
    const sf::Sprite& HourHand() const { return m_hourHand; }
    float Hour() const { return m_hour; }
    float Minute() const { return m_minute; }
    bool IsRecoiling() const { return m_recoiling; }
    void SetRecoiling(bool recoiling) { m_recoiling = recoiling; }

private:
    friend struct TestPeer; // the tests' one way in

    sf::Sprite m_body = EmptySprite();
    sf::Sprite m_minuteHand = EmptySprite();
    sf::Sprite m_hourHand = EmptySprite();
    int m_y = 0;
    float m_hour = 0.0f;
    float m_minute = 0.0f;
    bool m_recoiling = false;
};
