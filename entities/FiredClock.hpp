#pragma once

#include "app/SfmlAdapter.hpp"

#include <SFML/Graphics/Sprite.hpp>

#include <vector>

class PlayerClock;
struct FallingBill;

// One small clock in flight, carrying the time the player's clock showed when it was fired.
struct FiredClock {
    sf::Sprite sprite = EmptySprite();
    float hour = 0.0f;
    float minute = 0.0f;
    bool bounced = false;
    bool bounceLeft = false;
};

// A new fired clock at the centre of the player's clock face, with its time.
FiredClock MakeFiredClock(const sf::Sprite& smallClock, const PlayerClock& player);

// Flies and spins every clock by speed x seconds: straight up, or diagonally down after a bounce.
void MoveFiredClocks(std::vector<FiredClock>& clocks, int speed, double seconds);

// Settles the first event it finds, in firing order: a clock that left the window, a hit that
// destroys a bill of the same twelve-hour time (true), or a bounce off any other bill.
bool ResolveHits(std::vector<FallingBill>& bills, std::vector<FiredClock>& clocks);
