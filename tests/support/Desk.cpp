// The linker prefers these definitions to SFML's, so the game reads the tests' clock and input.
#include "support/Support.hpp"

Desk g_desk;

sf::Clock::Clock() : m_startTime(g_desk.now) {}
sf::Time sf::Clock::getElapsedTime() const {
    return g_desk.now - m_startTime;
}
sf::Time sf::Clock::restart() {
    const sf::Time elapsed = getElapsedTime();
    m_startTime = g_desk.now;
    return elapsed;
}
bool sf::Keyboard::isKeyPressed(Key key) {
    return g_desk.keys.count(key) != 0;
}
bool sf::Mouse::isButtonPressed(Button button) {
    return g_desk.buttons.count(button) != 0;
}
sf::Vector2i sf::Mouse::getPosition(const sf::Window&) {
    return g_desk.mouse;
}
