#pragma once

#include <string>

namespace sf {
class RenderWindow;
class Window;
} // namespace sf
struct InputEvent;

// What the game asks of the desktop it runs on. PlatformX11.cpp and PlatformWin32.cpp answer it.

// Opens /dev/null in place of a standard input, output or error that the game was started
// without. Otherwise the first file the game opens takes that descriptor, and the failure lines
// meant for standard output land in it (in the X connection, say). A closed pipe on standard
// output is ignored rather than ending the game.
void KeepStandardStreams();

// Connects to the display and keeps the connection for the whole run. Returns what keeps the
// game from opening its window (no display, none that draws with OpenGL) as one line for the
// player; empty when the window can be opened.
std::string ConnectToDisplay();

// Creates the window in its final place, the centre of the primary monitor, with its class,
// icon and fixed size, so that it is never first shown elsewhere or black.
void OpenGameWindow(sf::RenderWindow& window, unsigned width, unsigned height,
                    const std::string& title);

// Takes one event that reached the game's own connection rather than the window's queue: a
// close request, or while the pointer is confined, a button or the wheel. False when none waits.
bool PollPlatformEvent(InputEvent& event);

// Whether the window has the keyboard focus as the window system reports it, and no other
// program holds the keyboard grab (the keys then go to that program). Without a window
// manager, X lets the focus follow the pointer: the window then has it while the pointer is on it.
bool HasKeyboardFocus(const sf::Window& window);

// Whether another program holds the pointer grab (a menu, a screen locker) while the pointer
// is on the window: the buttons held then are that program's, not the game's.
bool PointerTakenElsewhere();

// Keeps the pointer inside the window, or lets it go again.
void ConfinePointer(sf::Window& window, bool confine);
