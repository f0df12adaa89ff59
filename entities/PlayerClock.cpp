#include "entities/PlayerClock.hpp"

#include "app/Globals.hpp"
#include "app/SfmlAdapter.hpp"
#include "content/ContentManager.hpp"

void PlayerClock::Init(ContentManager& content) {
    m_body = sf::Sprite(content.GetTexture("Player clock", true));
    m_minuteHand = sf::Sprite(content.GetTexture("Clock hand", false));

    const float handHeight = SizeOf(m_minuteHand.getLocalBounds()).y;
    m_minuteHand.setOrigin({1.5f, handHeight});
    m_hourHand = m_minuteHand;
    m_hourHand.setOrigin({1.5f, static_cast<float>(SizeOf(m_hourHand.getLocalBounds()).y / 1.4)});
    // The short hand is a slice of the long one's texture.
    m_hourHand.setTextureRect(sf::IntRect({0, 10}, {3, 25}));

    const sf::Vector2f body = SizeOf(m_body.getLocalBounds());
    m_y = static_cast<int>(600.0 - (body.y - 25.0));
    m_body.setOrigin({static_cast<float>(body.x * 0.5), static_cast<float>(body.y * 0.5)});
    PlaceClock(static_cast<int>(400.0 - body.x * 0.5));

    m_recoiling = false;
    m_hour = 12.0f;
    m_minute = 0.0f;
}

void PlayerClock::PlaceClock(int x) {
    // The margin narrows while a recoil lowers the clock; the right-hand clamp wins past 400.
    const int margin = 600 - m_y;
    if (x < margin) {
        x = margin;
    }
    if (x > 800 - margin) {
        x = 800 - margin;
    }
    m_body.setPosition({static_cast<float>(x), static_cast<float>(m_y)});
    m_minuteHand.setPosition(m_body.getPosition());
    m_hourHand.setPosition(m_body.getPosition());
}

void PlayerClock::TurnHands() {
    const int d = g_wheelDelta;
    m_minuteHand.rotate(Degrees(static_cast<float>(d * 90)));
    m_hourHand.rotate(Degrees(static_cast<float>(d * 7.5)));
    m_minute = static_cast<float>(d * 15) + m_minute;
    while (m_minute > 45.0f) {
        m_hour += 1.0f;
        m_minute -= 60.0f;
    }
    while (m_minute < 0.0f) {
        m_hour -= 1.0f;
        m_minute += 60.0f;
    }
    // Twelve o'clock is kept as 0; a plain reset, not a remainder.
    if (m_hour >= 12.0f) {
        m_hour = 0.0f;
    }
    if (m_hour < 0.0f) {
        m_hour = 11.0f;
    }
}

bool PlayerClock::Recoil(double dt) {
    // Both outlive the clock: the run's first recoil fixes the rest height, and a game that ends
    // while its clock climbs leaves the climb to the next game's first recoil.
    static const double s_restY = static_cast<double>(m_y);
    static bool s_returning = false;

    const double bodyHeight = SizeOf(m_body.getLocalBounds()).y;
    if (!s_returning && static_cast<double>(m_y) < 600.0 - bodyHeight * 0.5) {
        m_y = static_cast<int>(m_y + dt * 250.0);
    } else {
        s_returning = true; // the call that reaches the bottom already climbs
        m_y = static_cast<int>(m_y - dt * 125.0);
    }
    if (static_cast<double>(m_y) <= s_restY) {
        m_body.setPosition({m_body.getPosition().x, static_cast<float>(s_restY)});
        s_returning = false;
        return true;
    }
    return false;
}
