#include "app/Devices.hpp"

#include <SFML/System/Clock.hpp>
#include <SFML/Window/Window.hpp>

sf::Time Now() {
    static const sf::Clock s_start;
    return s_start.getElapsedTime();
}

bool IsKeyDown(sf::Keyboard::Key key) {
    return sf::Keyboard::isKeyPressed(key);
}

bool IsButtonDown(sf::Mouse::Button button) {
    return sf::Mouse::isButtonPressed(button);
}

sf::Vector2i PointerPosition(const sf::Window& window) {
    return sf::Mouse::getPosition(window);
}
