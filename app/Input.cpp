#include "app/Input.hpp"

#include "app/Globals.hpp"

bool KeyHeld(sf::Keyboard::Key key) {
    return g_hasFocus && sf::Keyboard::isKeyPressed(key);
}

bool ButtonHeld(sf::Mouse::Button button) {
    return g_hasFocus && sf::Mouse::isButtonPressed(button);
}
