#pragma once

namespace sf {
class Window;
}
struct InputEvent;

// Settles one window event: a close request ends the run after this frame, a wheel turn
// replaces the stored delta, a key or button press counts for this frame's input.
void ApplyEvent(const InputEvent& event);

// From now on Ctrl-C, a termination request and a hang-up end the game like its close button.
void CloseOnStopSignals();

// Empties the window's event queue and the game's own, notes whether the window has the
// keyboard focus, then lets the current scene read its input.
void ProcessEvents(sf::Window& window);
