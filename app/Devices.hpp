#pragma once

#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

namespace sf {
class Window;
}

// What the game reads of the machine itself: the time, and the live state of the keys, the
// buttons and the pointer. Devices.cpp reads them from SFML for the program; the unit tests link
// a desk of their own in its place, which they set frame by frame.

// Time since the game first asked.
sf::Time Now();
bool IsKeyDown(sf::Keyboard::Key key);
bool IsButtonDown(sf::Mouse::Button button);
// The pointer's position relative to the window's top-left corner.
sf::Vector2i PointerPosition(const sf::Window& window);
