#pragma once

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

struct InputEvent;

// Live key and button state, as the scenes read it. Keys and buttons count only while the game's
// window has the keyboard focus: what the player types or clicks in another window is not meant
// for the game. A key or button pressed since the last frame counts as held in this one even if
// it is already up again: a touchpad's tap or a quick key press lasts a few milliseconds.
bool KeyHeld(sf::Keyboard::Key key);
bool ButtonHeld(sf::Mouse::Button button);

// The event pump's part: a new frame forgets the presses of the last, then notes its own.
void ForgetPresses();
void NotePress(const InputEvent& event);
