#pragma once

#include "app/Scene.hpp"
#include "app/SfmlAdapter.hpp"
#include "menu/ComposedBackdrop.hpp"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

// The title screen: faded bills, the title, the credit line and the large bill that starts a game.
class MenuScene final : public Scene {
public:
    void LoadContent(ContentManager& content) override;
    void HandleInput() override;
    void Update(sf::RenderWindow& window) override;
    void Draw(sf::RenderWindow& window) override;

    // The button's own edge rule: left and top edges are outside, right and bottom inside.
    static bool IsMouseOver(sf::Sprite sprite, sf::RenderWindow& window);
    // Draws the text with copies in the outline colour at the four diagonal offsets behind it.
    static void DrawOutlined(sf::Text& text, float thickness, sf::RenderTarget& target,
                             sf::Color outlineColor);

private:
    friend struct TestPeer; // the tests' one way in

    sf::Sprite m_bill = EmptySprite();
    sf::Sprite m_largeBill = EmptySprite();
    sf::Font m_font;
    sf::Text m_playText = EmptyText();
    sf::Text m_titleText = EmptyText();
    sf::Text m_creditText = EmptyText();
    ComposedBackdrop m_backdrop;
};
