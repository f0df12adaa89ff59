#include "menu/MenuScene.hpp"

#include "app/ChangeScene.hpp"
#include "app/Devices.hpp"
#include "app/Globals.hpp"
#include "app/Input.hpp"
#include "app/Platform.hpp"
#include "app/SfmlAdapter.hpp"
#include "content/ContentManager.hpp"
#include "content/Files.hpp"
#include "game/MainGameScene.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include <cstdint>
#include <locale>

namespace {

sf::String Widen(const char* text) {
    return sf::String(text, std::locale());
}

void SetAlpha(sf::Sprite& sprite, std::uint8_t alpha) {
    const sf::Color c = sprite.getColor();
    sprite.setColor(sf::Color(c.r, c.g, c.b, alpha));
}

void SetAlpha(sf::Text& text, std::uint8_t alpha) {
    const sf::Color c = text.getFillColor();
    text.setFillColor(sf::Color(c.r, c.g, c.b, alpha));
}

} // namespace

void MenuScene::LoadContent(ContentManager& content) {
    content.LoadFile("Bill", "Content/moneybill.png");
    m_bill = sf::Sprite(content.GetTexture("Bill", false));
    content.LoadFile("Large bill", "Content/largebill.png");
    m_largeBill = sf::Sprite(content.GetTexture("Large bill", false));

    const sf::Vector2f bill = SizeOf(m_largeBill.getLocalBounds());
    m_largeBill.setPosition(
        {static_cast<float>(400.0 - bill.x * 0.5), static_cast<float>(300.0 - bill.y * 0.5)});

    if (!LoadFont(m_font, "Content/LiberationMono-Bold.ttf")) {
        g_quit = true;
    }

    m_playText.setFont(m_font);
    m_playText.setFillColor(sf::Color::Black);
    SetString(m_playText, Widen("PLAY"));
    m_playText.setCharacterSize(60);
    m_playText.setPosition(m_largeBill.getPosition() + sf::Vector2f(25.0f, 5.0f));

    m_titleText.setFont(m_font);
    m_titleText.setFillColor(sf::Color::Black);
    SetString(m_titleText, Widen("ZORVANE"));
    m_titleText.setCharacterSize(70);
    m_titleText.setPosition(
        {static_cast<float>(400.0 - SizeOf(m_titleText.getLocalBounds()).x * 0.5), 60.0f});

    m_creditText = m_playText;
    m_creditText.setCharacterSize(15);
    SetString(m_creditText, Widen("Made by Ostrevik"));
    const sf::Vector2f credit = SizeOf(m_creditText.getLocalBounds());
    m_creditText.setPosition(
        {static_cast<float>(800.0 - credit.x - 10.0), static_cast<float>(600.0 - credit.y - 10.0)});

    TiledBackdrop tiles;
    BuildBackdrop(tiles, m_bill);
    // The title and the credit line never change and every frame draws them right after the
    // backdrop, so they go into its picture once: on a software renderer each of the title's
    // five copies costs a frame as much as its pixels.
    m_backdrop.Compose(tiles, [this](sf::RenderTarget& picture) {
        DrawOutlined(m_titleText, 4.0f, picture, sf::Color::White);
        picture.draw(m_creditText, sf::RenderStates::Default);
    });
}

void MenuScene::HandleInput() {}

void MenuScene::Update(sf::RenderWindow& window) {
    window.setMouseCursorVisible(true);
    ConfinePointer(window, false);
    if (!IsMouseOver(m_largeBill, window)) {
        SetAlpha(m_largeBill, 255);
        SetAlpha(m_playText, 255);
        return;
    }
    SetAlpha(m_largeBill, 200);
    SetAlpha(m_playText, 200);
    if (ButtonHeld(sf::Mouse::Button::Left)) {
        ChangeScene(std::make_unique<MainGameScene>());
        return; // this scene is gone
    }
}

void MenuScene::Draw(sf::RenderWindow& window) {
    window.clear(sf::Color::White);
    window.draw(m_backdrop, sf::RenderStates::Default); // with the outlined title and the credit
    window.draw(m_largeBill, sf::RenderStates::Default);
    window.draw(m_playText, sf::RenderStates::Default);
    window.display();
}

bool MenuScene::IsMouseOver(sf::Sprite sprite, sf::RenderWindow& window) {
    const sf::Vector2f p = window.mapPixelToCoords(PointerPosition(window));
    const sf::FloatRect bounds = sprite.getGlobalBounds();
    const sf::Vector2f corner = CornerOf(bounds);
    const sf::Vector2f size = SizeOf(bounds);
    return corner.x < p.x && p.x <= corner.x + size.x && corner.y < p.y && p.y <= corner.y + size.y;
}

void MenuScene::DrawOutlined(sf::Text& text, float t, sf::RenderTarget& target,
                             sf::Color outlineColor) {
    const sf::Vector2f position = text.getPosition();
    const sf::Color colour = text.getFillColor();
    text.setFillColor(outlineColor);
    for (const sf::Vector2f offset :
         {sf::Vector2f(-t, -t), sf::Vector2f(t, -t), sf::Vector2f(-t, t), sf::Vector2f(t, t)}) {
        text.move(offset);
        target.draw(text, sf::RenderStates::Default);
        text.setPosition(position);
    }
    text.setFillColor(colour);
    target.draw(text, sf::RenderStates::Default);
}
