#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>

#include <filesystem>
#include <string>

// Whether inner lies wholly within outer, edges included.
inline bool Inside(const sf::FloatRect& outer, const sf::FloatRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top &&
           inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

// Puts the run-wide state back to how the program starts: no scene, no content, no quit.
void ResetGlobals();

// A fresh directory under the system's temp folder, removed again at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Writes a PNG of one colour and returns its path.
std::string WritePng(const std::string& path, unsigned width, unsigned height,
                     sf::Color colour = sf::Color::Red);
void WriteText(const std::string& path, const std::string& text);

// Runs the test body with the working directory changed, as the game reads Content/ from there.
class ScopedWorkingDir {
public:
    explicit ScopedWorkingDir(const std::filesystem::path& dir);
    ~ScopedWorkingDir();

private:
    std::filesystem::path m_previous;
};

// A copy of the shipped Content/ folder in a temp directory, to break or swap single files.
class ContentCopy {
public:
    ContentCopy();
    const std::filesystem::path& Root() const { return m_dir.Path(); }
    std::string File(const std::string& name) const;

private:
    TempDir m_dir;
};
