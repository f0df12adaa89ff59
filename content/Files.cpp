#include "content/Files.hpp"

#include "app/SfmlAdapter.hpp"

#include <filesystem>

bool IsRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool LoadFont(sf::Font& font, const std::string& path) {
    return IsRegularFile(path) && OpenFontFile(font, path);
}
