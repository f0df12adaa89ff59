// The linker takes these definitions over SFML's own, so the game reads the tests' desk.
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

#if SFML_VERSION_MINOR >= 6 // 2.6 (Debian 13) takes any WindowBase, 2.5 (Debian 12) a Window
sf::Vector2i sf::Mouse::getPosition(const sf::WindowBase&) {
#else
sf::Vector2i sf::Mouse::getPosition(const sf::Window&) {
#endif
    return g_desk.mouse;
}
