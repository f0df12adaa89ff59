#include "menu/ComposedBackdrop.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

void ComposedBackdrop::Compose(const TiledBackdrop& tiles,
                               const std::function<void(sf::RenderTarget&)>& stills) {
    m_canvas.create(800, 600);
    m_canvas.clear(sf::Color::White);
    for (const sf::Sprite& tile : tiles) {
        m_canvas.draw(tile, sf::RenderStates::Default);
    }
    if (stills) {
        stills(m_canvas);
    }
    m_canvas.display();
    m_picture.setTexture(m_canvas.getTexture(), true);
}

void ComposedBackdrop::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    // Opaque everywhere, so a plain copy gives what blending would, for less work a pixel.
    states.blendMode = sf::BlendNone;
    target.draw(m_picture, states);
}
