#include "entities/FallingBill.hpp"

#include "app/DecimalText.hpp"
#include "app/SfmlAdapter.hpp"

#include <cstdlib>
#include <locale>

std::string BillTimeText(int hour, int minute) {
    std::string text;
    if (hour < 10) {
        text += "0";
    }
    text += DecimalText(hour);
    text += ":";
    if (minute < 10) {
        text += "0";
    }
    text += DecimalText(minute);
    return text;
}

void FallingBill::MakeBill(const sf::Font& font, sf::Sprite source) {
    sprite = source;
    const sf::Vector2f size = SizeOf(sprite.getLocalBounds());
    sprite.setOrigin({static_cast<float>(size.x * 0.5), static_cast<float>(size.y * 0.5)});

    const int h = std::rand() % 24;
    const int q = std::rand() % 4;
    hour = static_cast<float>(h);
    minute = static_cast<float>(15 * q);

    text.setFont(font);
    text.setFillColor(sf::Color::Black);
    text.setCharacterSize(40);
    SetString(text, sf::String(BillTimeText(h, 15 * q), std::locale()));
    const sf::Vector2f textSize = SizeOf(text.getLocalBounds());
    text.setOrigin({static_cast<float>(textSize.x * 0.5), static_cast<float>(textSize.y - 1.0)});

    const int x = std::rand() % 600 + 100;
    sprite.setPosition({static_cast<float>(x), 0.0f});
    text.setPosition(sprite.getPosition());
}
