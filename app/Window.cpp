#include "app/Window.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

void InitWindow(sf::RenderWindow& window, unsigned width, unsigned height,
                const std::string& title) {
    window.create(sf::VideoMode(width, height, 32), title, sf::Style::Close, sf::ContextSettings());
    window.setFramerateLimit(60);
}
