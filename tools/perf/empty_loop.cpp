// The floor for tools/perf/measure.py: a window like the game's (800x600, close button only,
// same title, 60 fps cap, centred on the desktop) whose frame only clears to white and
// presents. Whatever the game costs beyond this is the game's own.
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

int main() {
    sf::RenderWindow window;
    window.create(sf::VideoMode(800, 600, 32), "Zorvane - Quendral", sf::Style::Close,
                  sf::ContextSettings());
    window.setFramerateLimit(60);
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    window.setPosition({(static_cast<int>(desktop.width) - 800) / 2,
                        (static_cast<int>(desktop.height) - 600) / 2});
    while (window.isOpen()) {
        sf::Event event;
        while (window.pollEvent(event)) {
            if (event.type == sf::Event::Closed) {
                window.close();
            }
        }
        if (!window.isOpen()) {
            break;
        }
        window.clear(sf::Color::White);
        window.display();
    }
    return 0;
}
