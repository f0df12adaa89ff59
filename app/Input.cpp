#include "app/Input.hpp"

#include "app/Devices.hpp"
#include "app/Globals.hpp"
#include "app/Platform.hpp"
#include "app/SfmlAdapter.hpp"

#include <bitset>

namespace {

std::bitset<sf::Keyboard::KeyCount> s_pressedKeys;
std::bitset<sf::Mouse::ButtonCount> s_pressedButtons;

} // namespace

bool KeyHeld(sf::Keyboard::Key key) {
    const auto index = static_cast<std::size_t>(key);
    return g_hasFocus &&
           ((index < s_pressedKeys.size() && s_pressedKeys.test(index)) || IsKeyDown(key));
}

bool ButtonHeld(sf::Mouse::Button button) {
    const auto index = static_cast<std::size_t>(button);
    return g_hasFocus && !PointerTakenElsewhere() &&
           ((index < s_pressedButtons.size() && s_pressedButtons.test(index)) ||
            IsButtonDown(button));
}

void ForgetPresses() {
    s_pressedKeys.reset();
    s_pressedButtons.reset();
}

void NotePress(const InputEvent& event) {
    // Unknown keys (-1) and anything past the tables are not the game's.
    const auto key = static_cast<std::size_t>(event.key);
    const auto button = static_cast<std::size_t>(event.button);
    if (event.type == InputEvent::Type::KeyPressed && key < s_pressedKeys.size()) {
        s_pressedKeys.set(key);
    } else if (event.type == InputEvent::Type::ButtonPressed && button < s_pressedButtons.size()) {
        s_pressedButtons.set(button);
    }
}
