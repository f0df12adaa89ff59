#include "support/TestContent.hpp"

#include "app/Globals.hpp"
#include "app/Scene.hpp"
#include "content/ContentManager.hpp"

#include <SFML/Graphics/Image.hpp>

#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

void ResetGlobals() {
    g_currentScene.reset();
    g_content.UnloadAll();
    g_quit = false;
    g_wheelDelta = 0;
}

TempDir::TempDir() {
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("zorvane-test-" + std::to_string(seed()));
        if (fs::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("no temp directory");
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string WritePng(const std::string& path, unsigned width, unsigned height, sf::Color colour) {
    sf::Image image;
    image.create(width, height, colour);
    // sf::Image picks the format from the ending, so write under a plain name first.
    const std::string plain = path + ".tmp.png";
    if (!image.saveToFile(plain)) {
        throw std::runtime_error("cannot write " + plain);
    }
    fs::rename(plain, path);
    return path;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

ScopedWorkingDir::ScopedWorkingDir(const fs::path& dir) : m_previous(fs::current_path()) {
    fs::current_path(dir);
}

ScopedWorkingDir::~ScopedWorkingDir() {
    fs::current_path(m_previous);
}

ContentCopy::ContentCopy() {
    fs::copy(fs::current_path() / "Content", m_dir.Path() / "Content", fs::copy_options::recursive);
}

std::string ContentCopy::File(const std::string& name) const {
    return (m_dir.Path() / "Content" / name).string();
}
