#pragma once

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

// Live key and button state, as the scenes read it. Keys and buttons count only while the game's
// window has the keyboard focus: what the player types or clicks in another window is not meant
// for the game.
bool KeyHeld(sf::Keyboard::Key key);
bool ButtonHeld(sf::Mouse::Button button);
