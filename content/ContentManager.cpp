#include "content/ContentManager.hpp"

#include "app/Globals.hpp"
#include "content/Files.hpp"

#include <iostream>

namespace {

enum class FileKind { None, Texture, Sound };

// A case-sensitive search anywhere in the path, image endings before sound endings; `ending`
// gets the one found.
FileKind KindOf(const std::string& path, std::string& ending) {
    for (const char* image : {".png", ".jpg"}) {
        if (path.find(image) != std::string::npos) {
            ending = image;
            return FileKind::Texture;
        }
    }
    for (const char* sound : {".wav", ".ogg", ".flac"}) {
        if (path.find(sound) != std::string::npos) {
            return FileKind::Sound;
        }
    }
    return FileKind::None;
}

template <class Resource>
void LoadInto(ContentManager& manager, std::map<std::string, Resource>& store,
              const std::string& name, const std::string& path, const std::string& ending) {
    // Fails like a missing file, without opening it or handing it to the loader.
    if (!IsRegularFile(path) || (!ending.empty() && !IsUsableImage(path, ending))) {
        manager.ReportLoadFailure(path, true);
        return;
    }
    // Load straight into the map's slot: textures and sound buffers are costly to copy.
    const auto [slot, inserted] = store.try_emplace(name);
    if (inserted) {
        if (!slot->second.loadFromFile(path)) {
            store.erase(slot);
            manager.ReportLoadFailure(path, true);
        }
        return;
    }
    // The name is taken: the file is still read, and what it held is dropped.
    Resource discarded;
    if (!discarded.loadFromFile(path)) {
        manager.ReportLoadFailure(path, true);
    }
}

} // namespace

void ContentManager::LoadFile(const std::string& name, const std::string& path) {
    std::string ending;
    switch (KindOf(path, ending)) {
    case FileKind::Texture:
        LoadInto(*this, m_textures, name, path, ending);
        break;
    case FileKind::Sound:
        LoadInto(*this, m_soundBuffers, name, path, ending);
        break;
    case FileKind::None:
        break;
    }
}

sf::Texture& ContentManager::GetTexture(const std::string& name, bool smooth) {
    const auto found = m_textures.find(name);
    if (found == m_textures.end()) {
        ReportLoadFailure(name, false);
        if (!m_missingTexture) {
            m_missingTexture = std::make_unique<sf::Texture>();
        }
        return *m_missingTexture;
    }
    found->second.setSmooth(smooth);
    return found->second;
}

void ContentManager::UnloadAll() {
    m_textures.clear();
    m_soundBuffers.clear();
}

void ContentManager::ReportLoadFailure(const std::string& text, bool isFile) {
    std::cout << (isFile ? "Could not load file from: " : "Could not load image: ") << text
              << std::endl;
    g_quit = true;
}
