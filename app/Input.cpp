#include "app/Input.hpp"

#include "app/Globals.hpp"
#include "app/Platform.hpp"

#include <SFML/Window/Event.hpp>

#include <bitset>

namespace {

std::bitset<sf::Keyboard::KeyCount> s_pressedKeys;
std::bitset<sf::Mouse::ButtonCount> s_pressedButtons;

} // namespace

bool KeyHeld(sf::Keyboard::Key key) {
    return g_hasFocus && (s_pressedKeys.test(key) || sf::Keyboard::isKeyPressed(key));
}

bool ButtonHeld(sf::Mouse::Button button) {
    return g_hasFocus && !PointerTakenElsewhere() &&
           (s_pressedButtons.test(button) || sf::Mouse::isButtonPressed(button));
}

void ForgetPresses() {
    s_pressedKeys.reset();
    s_pressedButtons.reset();
}

void NotePress(const sf::Event& event) {
    if (event.type == sf::Event::KeyPressed && event.key.code >= 0 &&
        event.key.code < sf::Keyboard::KeyCount) {
        s_pressedKeys.set(event.key.code);
    } else if (event.type == sf::Event::MouseButtonPressed) {
        s_pressedButtons.set(event.mouseButton.button);
    }
}
