#include "app/Window.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>

void InitWindow(sf::RenderWindow& window, unsigned width, unsigned height,
                const std::string& title) {
    window.create(sf::VideoMode(width, height, 32), title, sf::Style::Close, sf::ContextSettings());
    window.setFramerateLimit(60);
    // SFML centres a new window with the screen's width on both axes, which puts its bottom off
    // most screens; centre it on the desktop ourselves, keeping the top-left corner on screen.
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    const auto centred = [](unsigned screen, unsigned size) {
        return std::max(0, (static_cast<int>(screen) - static_cast<int>(size)) / 2);
    };
    window.setPosition({centred(desktop.width, width), centred(desktop.height, height)});
}
