#include "app/Window.hpp"

#include "app/Platform.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

void InitWindow(sf::RenderWindow& window, unsigned width, unsigned height,
                const std::string& title) {
    OpenGameWindow(window, width, height, title);
    window.setFramerateLimit(60);
}
