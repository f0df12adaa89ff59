#pragma once

namespace sf {
class RenderWindow;
}

// One frame: events and input, then the current scene's Update and Draw. The scene is looked
// up afresh before each call, so a switch takes effect within the frame that made it.
void RunFrame(sf::RenderWindow& window);

// Frames until something asks to quit; the quit flag is only tested between frames.
void RunLoop(sf::RenderWindow& window);
