#include "menu/ComposedBackdrop.hpp"

#include "app/SfmlAdapter.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

void ComposedBackdrop::Compose(const TiledBackdrop& tiles,
                               const std::function<void(sf::RenderTarget&)>& stills) {
    if (!Resize(m_canvas, 800, 600)) {
        return; // no picture: the backdrop draws nothing
    }
    m_canvas.clear(sf::Color::White);
    for (const sf::Sprite& tile : tiles) {
        m_canvas.draw(tile, sf::RenderStates::Default);
    }
    if (stills) {
        stills(m_canvas);
    }
    m_canvas.display();
    m_picture = sf::Sprite(m_canvas.getTexture());
}

void ComposedBackdrop::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    // Opaque everywhere, so a plain copy gives what blending would, for less work a pixel.
    states.blendMode = sf::BlendNone;
    target.draw(m_picture, states);
}
