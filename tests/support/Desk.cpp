// The game's time and devices, as the tests set them: linked in place of app/Devices.cpp.
#include "app/Devices.hpp"
#include "support/Support.hpp"

Desk g_desk;

sf::Time Now() {
    return g_desk.now;
}
bool IsKeyDown(sf::Keyboard::Key key) {
    return g_desk.keys.count(key) != 0;
}
bool IsButtonDown(sf::Mouse::Button button) {
    return g_desk.buttons.count(button) != 0;
}
sf::Vector2i PointerPosition(const sf::Window&) {
    return g_desk.mouse;
}
