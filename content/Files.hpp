#pragma once

#include <string>

namespace sf {
class Font;
}

// Whether the path names a regular file (after links). Only those are opened: opening a FIFO
// waits for a writer and a device may never end, either of which would hang the game.
bool IsRegularFile(const std::string& path);

// sf::Font::loadFromFile, for regular files only.
bool LoadFont(sf::Font& font, const std::string& path);
