#pragma once

#include <string>

namespace sf {
class Window;
}

// Opens /dev/null in place of a standard input, output or error that the game was started
// without. Otherwise the first file the game opens takes that descriptor, and the failure lines
// meant for standard output land in it (in the X connection, say). A closed pipe on standard
// output is ignored rather than ending the game.
void KeepStandardStreams();

// What keeps the game from opening its window (no X display, or one without OpenGL), as one
// line for the player; empty when the window can be opened.
std::string MissingDisplay();

// Whether the window has the keyboard focus as the window system reports it. Without a window
// manager, X lets the focus follow the pointer: the window then has it while the pointer is on it.
bool HasKeyboardFocus(const sf::Window& window);
