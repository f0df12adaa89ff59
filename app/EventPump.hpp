#pragma once

namespace sf {
class Event;
class Window;
} // namespace sf

// Settles one window event: a close request ends the run after this frame, a wheel turn
// replaces the stored delta. Keys and buttons are read as live state by the scenes instead.
void ApplyEvent(const sf::Event& event);

// From now on Ctrl-C and a termination request end the game like its close button does.
void CloseOnStopSignals();

// Empties the window's event queue, notes whether the window has the keyboard focus, then lets
// the current scene read its input.
void ProcessEvents(sf::Window& window);
