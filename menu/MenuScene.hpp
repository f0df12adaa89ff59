#pragma once

#include "app/Scene.hpp"
#include "menu/TiledBackdrop.hpp"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

// The title screen: faded bills, the title, the credit line and the large bill that starts a game.
class MenuScene final : public Scene {
public:
    void LoadContent(ContentManager& content) override;
    void HandleInput() override;
    void Update(sf::RenderWindow& window) override;
    void Draw(sf::RenderWindow& window) override;

    // One frame of the button, from the hover state and the left button; a click over the bill
    // starts a new game, after which this scene no longer exists.
    void UpdateButton(bool mouseOver, bool leftHeld);

    static bool IsMouseOver(sf::Sprite sprite, sf::RenderWindow& window);
    // The button's own edge rule: left and top edges are outside, right and bottom inside.
    static bool IsPointOver(const sf::FloatRect& bounds, sf::Vector2f point);
    static void DrawOutlined(sf::Text& text, float thickness, sf::RenderWindow& window,
                             sf::Color outlineColor);

    const sf::Sprite& LargeBill() const { return m_largeBill; }
    const sf::Text& PlayText() const { return m_playText; }
    const sf::Text& TitleText() const { return m_titleText; }
    const sf::Text& CreditText() const { return m_creditText; }
    const TiledBackdrop& Backdrop() const { return m_backdrop; }

private:
    sf::Sprite m_bill;
    sf::Sprite m_largeBill;
    sf::Font m_font;
    sf::Text m_playText;
    sf::Text m_titleText;
    sf::Text m_creditText;
    TiledBackdrop m_backdrop;
};
