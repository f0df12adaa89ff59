#include "menu/TiledBackdrop.hpp"

#include "app/SfmlAdapter.hpp"

void BuildBackdrop(TiledBackdrop& backdrop, sf::Sprite source) {
    const sf::Vector2f size = SizeOf(source.getLocalBounds());
    const float w = size.x;
    const float h = size.y;
    int x = 0;
    int y = 0;
    for (;;) {
        sf::Sprite tile = source;
        const sf::Color colour = tile.getColor();
        tile.setColor(sf::Color(colour.r, colour.g, colour.b, 100));
        tile.setPosition({static_cast<float>(x), static_cast<float>(y)});
        backdrop.push_back(tile);

        // Without a texture (its load failed and the game is quitting) the tiling would never
        // advance; the one tile at the corner is all it gets.
        if (!(w >= 1.0f && h >= 1.0f)) {
            return;
        }
        x = static_cast<int>(static_cast<float>(x) + w);
        if (x > 799) {
            x = 0;
            y = static_cast<int>(static_cast<float>(y) + h);
        }
        if (y > 599) {
            return;
        }
    }
}
