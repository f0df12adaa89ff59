#include "entities/FiredClock.hpp"

#include "app/SfmlAdapter.hpp"
#include "entities/FallingBill.hpp"
#include "entities/PlayerClock.hpp"

#include <cstdlib>

FiredClock MakeFiredClock(const sf::Sprite& smallClock, const PlayerClock& player) {
    FiredClock clock;
    clock.sprite = smallClock;
    const sf::Vector2f size = SizeOf(clock.sprite.getLocalBounds());
    clock.sprite.setOrigin({static_cast<float>(size.x * 0.5), static_cast<float>(size.y * 0.5)});
    clock.sprite.setPosition(player.Body().getPosition());
    clock.hour = player.Hour();
    clock.minute = player.Minute();
    return clock;
}

void MoveFiredClocks(std::vector<FiredClock>& clocks, int speed, double seconds) {
    const float v = static_cast<float>(speed * seconds);
    for (FiredClock& clock : clocks) {
        if (!clock.bounced) {
            clock.sprite.move({0.0f, -v});
            clock.sprite.rotate(Degrees(v));
        } else if (!clock.bounceLeft) {
            clock.sprite.move({v, v});
            clock.sprite.rotate(Degrees(v));
        } else {
            clock.sprite.move({-v, v});
            clock.sprite.rotate(Degrees(-v));
        }
    }
}

bool ResolveHits(std::vector<FallingBill>& bills, std::vector<FiredClock>& clocks) {
    for (auto clock = clocks.begin(); clock != clocks.end(); ++clock) {
        const sf::Vector2f c = clock->sprite.getPosition();
        // Unrotated size: a spinning clock tests as if it stood still.
        const sf::Vector2f cSize = SizeOf(clock->sprite.getLocalBounds());
        if (c.y < static_cast<float>(-(cSize.y * 0.5)) || c.y > 600.0) {
            clocks.erase(clock);
            return false;
        }
        const float cl = static_cast<float>(c.x - cSize.x * 0.5);
        const float ct = static_cast<float>(c.y - cSize.y * 0.5);
        for (auto bill = bills.begin(); bill != bills.end(); ++bill) {
            const sf::Vector2f b = bill->sprite.getPosition();
            const sf::Vector2f bSize = SizeOf(bill->sprite.getLocalBounds());
            const float bl = static_cast<float>(b.x - bSize.x * 0.5);
            const float bt = static_cast<float>(b.y - bSize.y * 0.5);
            // Touching edges count as overlapping.
            const bool overlap = bl <= static_cast<double>(cl) + cSize.x &&
                                 static_cast<double>(bl) + bSize.x >= cl &&
                                 bt <= static_cast<double>(ct) + cSize.y &&
                                 static_cast<double>(bt) + bSize.y >= ct;
            if (!overlap) {
                continue;
            }
            // The dial has twelve hours; the bill keeps its 24-hour text.
            if (bill->hour >= 12.0f) {
                bill->hour = static_cast<float>(bill->hour - 12.0);
            }
            if (b.y < 480.0) {
                if (clock->hour == bill->hour && clock->minute == bill->minute) {
                    clocks.erase(clock);
                    bills.erase(bill);
                    return true;
                }
                clock->bounced = true;
                clock->bounceLeft = std::rand() % 2 != 0;
                return false;
            }
        }
    }
    return false;
}
