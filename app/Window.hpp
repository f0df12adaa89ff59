#pragma once

#include <string>

namespace sf {
class RenderWindow;
}

// Opens the game window in place, centred on the primary monitor: fixed size, close button
// only, 60 frames per second at most.
void InitWindow(sf::RenderWindow& window, unsigned width, unsigned height,
                const std::string& title);
