// The floors for measure.py: a window like the game's (800x600, close button only, same title,
// 60 fps cap, centred on the desktop) that clears to white and presents each frame. With
// --picture it also puts one opaque 800x600 picture over the whole window after the clear, drawn
// as the game draws its backdrop (a sprite, copied without blending). A software renderer pays
// for every pixel it draws, so that is the least a frame that shows a full picture costs.
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

#include <string>

int main(int argc, char** argv) {
    const bool picture = argc > 1 && std::string(argv[1]) == "--picture";
    sf::RenderWindow window;
    window.create(sf::VideoMode(800, 600, 32), "Zorvane - Quendral", sf::Style::Close,
                  sf::ContextSettings());
    window.setFramerateLimit(60);
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    window.setPosition({(static_cast<int>(desktop.width) - 800) / 2,
                        (static_cast<int>(desktop.height) - 600) / 2});

    sf::Image image;
    image.create(800, 600, sf::Color(225, 235, 225));
    sf::Texture texture;
    texture.loadFromImage(image);
    const sf::Sprite sprite(texture);

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
        if (picture) {
            window.draw(sprite, sf::RenderStates(sf::BlendNone));
        }
        window.display();
    }
    return 0;
}
