#include "app/Clock.hpp"

#include "app/Devices.hpp"

#include <algorithm>

namespace {

// The game's time: advanced at each reading by the real time since the last, capped.
sf::Time GameTime() {
    static sf::Time s_lastReal = Now();
    static sf::Time s_game;
    const sf::Time real = Now();
    s_game += std::min(real - s_lastReal, sf::seconds(Clock::k_longestStepSeconds));
    s_lastReal = real;
    return s_game;
}

} // namespace

Clock::Clock() : m_start(GameTime()) {}

sf::Time Clock::Elapsed() const {
    return GameTime() - m_start;
}

sf::Time Clock::Restart() {
    const sf::Time now = GameTime();
    const sf::Time elapsed = now - m_start;
    m_start = now;
    return elapsed;
}
