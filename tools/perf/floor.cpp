// The floors for measure.py: a window like the game's (800x600, close button only, same title,
// 60 fps cap, centred on the desktop) that clears to white and presents each frame. With
// --picture it also puts one opaque 800x600 picture over the whole window after the clear, drawn
// as the game draws its backdrop (a sprite, copied without blending). A software renderer pays
// for every pixel it draws, so that is the least a frame that shows a full picture costs.
#include "app/SfmlAdapter.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    const bool picture = argc > 1 && std::string(argv[1]) == "--picture";
    // SFML centres a new window on the desktop.
    sf::RenderWindow window(WindowMode(800, 600), "Zorvane - Quendral", sf::Style::Close);
    window.setFramerateLimit(60);

    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 800 * 600; ++i) {
        pixels.insert(pixels.end(), {225, 235, 225, 255});
    }
    sf::Texture texture;
    if (!Resize(texture, 800, 600)) {
        return 1;
    }
    texture.update(pixels.data());
    const sf::Sprite sprite(texture);

    while (window.isOpen()) {
        InputEvent event;
        while (NextWindowEvent(window, event)) {
            if (event.type == InputEvent::Type::Closed) {
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
