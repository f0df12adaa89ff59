#pragma once

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <map>
#include <memory>
#include <string>

// The one store of named textures and sound buffers. A map never moves its elements, so the
// references handed out stay valid until UnloadAll.
class ContentManager {
public:
    // Loads a file as a texture or sound buffer, chosen by the extension text found in the path.
    // A name already stored keeps its first object.
    void LoadFile(const std::string& name, const std::string& path);

    // The texture stored under the name, with its smoothing set to the flag. A name that is not
    // stored is reported, and an empty texture that lives as long as the manager stands in.
    sf::Texture& GetTexture(const std::string& name, bool smooth);

    void UnloadAll();

    // Prints the failure line on standard output and asks the game to quit after this frame.
    void ReportLoadFailure(const std::string& text, bool isFile);

private:
    friend struct TestPeer; // the tests' one way in

    // Made on first need: constructing a texture opens a graphics context.
    std::unique_ptr<sf::Texture> m_missingTexture;
    std::map<std::string, sf::Texture> m_textures;
    std::map<std::string, sf::SoundBuffer> m_soundBuffers;
};
