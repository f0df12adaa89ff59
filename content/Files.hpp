#pragma once

#include <string>

namespace sf {
class Font;
}

// Whether the path names a regular file (after links). Only those are opened: opening a FIFO
// waits for a writer and a device may never end, either of which would hang the game.
bool IsRegularFile(const std::string& path);

// Whether the regular file holds a picture in the format that `ending` (".png" or ".jpg") names,
// of a size the game can draw, judged from its headers alone. The image loader guesses the
// format from the bytes and decodes the whole picture before it looks at the size, so anything
// else could take the game's memory or time.
bool IsUsableImage(const std::string& path, const std::string& ending);

// Loads a regular file into the font from bytes read into memory and kept for the whole run:
// the font reads its glyphs lazily, and a mapped file cut short under the game would crash it.
bool LoadFont(sf::Font& font, const std::string& path);
