#pragma once

#include "entities/FallingBill.hpp"
#include "entities/FiredClock.hpp"

// Entities of a chosen size without any texture: a sprite's local size is its texture rectangle.
inline sf::Sprite CentredSprite(int width, int height, float x, float y) {
    sf::Sprite sprite;
    sprite.setTextureRect(sf::IntRect(0, 0, width, height));
    sprite.setOrigin(width * 0.5f, height * 0.5f);
    sprite.setPosition(x, y);
    return sprite;
}

inline FallingBill BillAt(float x, float y, float hour, float minute) {
    FallingBill bill;
    bill.sprite = CentredSprite(180, 110, x, y);
    bill.hour = hour;
    bill.minute = minute;
    return bill;
}

inline FiredClock ClockAt(float x, float y, float hour, float minute) {
    FiredClock clock;
    clock.sprite = CentredSprite(26, 26, x, y);
    clock.hour = hour;
    clock.minute = minute;
    return clock;
}
