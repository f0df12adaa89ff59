#pragma once

#include <SFML/Graphics/Sprite.hpp>

#include <vector>

// The faded bill wallpaper both screens draw first: tiles row by row from the top-left corner.
using TiledBackdrop = std::vector<sf::Sprite>;

// Appends copies of the source, at alpha 100, edge to edge until the 800x600 window is covered.
void BuildBackdrop(TiledBackdrop& backdrop, sf::Sprite source);
