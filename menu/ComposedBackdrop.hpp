#pragma once

#include "app/SfmlAdapter.hpp"
#include "menu/TiledBackdrop.hpp"

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include <functional>

// The backdrop as one finished picture. Its tiles never change within a scene, so they are
// drawn over white once, when the scene loads, instead of tile by tile in every frame; drawn
// over the white window, the picture gives the very same pixels. A scene whose frame draws still
// items right after the backdrop can have them drawn into the picture as well, with `stills`.
class ComposedBackdrop final : public sf::Drawable {
public:
    void Compose(const TiledBackdrop& tiles,
                 const std::function<void(sf::RenderTarget&)>& stills = nullptr);

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::RenderTexture m_canvas;
    sf::Sprite m_picture = EmptySprite();
};
