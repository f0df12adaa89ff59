#pragma once

#include "app/SfmlAdapter.hpp"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <string>

namespace sf {
class Font;
}

// One falling target: a blank bill with its time of day printed on it.
struct FallingBill {
    sf::Sprite sprite = EmptySprite();
    sf::Text text = EmptyText();
    float hour = 0.0f;
    float minute = 0.0f;

    // Fills the record with a random time and column; draws rand three times: hour, minute, x.
    void MakeBill(const sf::Font& font, sf::Sprite source);
};

// "07:45": two-digit hour, a colon, two-digit minute.
std::string BillTimeText(int hour, int minute);
