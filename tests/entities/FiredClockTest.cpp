#include "support/Support.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

TEST(FiredClockTest, ClocksRiseOrAfterABounceFallDiagonallySpinningAtTheirSpeed) {
    std::vector<FiredClock> clocks(3, ClockAt(100, 300, 1));
    clocks[1].bounced = clocks[2].bounced = clocks[2].bounceLeft = true;
    MoveFiredClocks(clocks, 300, 0.1);
    const std::pair<sf::Vector2f, float> moved[] = {
        {{100, 270}, 30}, {{130, 330}, 30}, {{70, 330}, 330}};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::pair(clocks[i].sprite.getPosition(), clocks[i].sprite.getRotation()),
                  moved[i]);
}

// What a call leaves: the bills' hours and places, the clocks' places and bounces, left or right.
std::string Field(const std::vector<FallingBill>& bills, const std::vector<FiredClock>& clocks) {
    std::string field;
    for (const FallingBill& bill : bills)
        field += std::to_string(bill.hour) + "@" + std::to_string(bill.sprite.getPosition().x);
    for (const FiredClock& clock : clocks)
        field += " " + std::to_string(clock.sprite.getPosition().x) + "-|"[clock.bounced] +
                 "rl"[clock.bounceLeft];
    return field;
}

// B at 400,200 spans x 310..490 and y 145..255; a clock C is 26 square. A bill a clock overlaps is
// lowered to the dial's twelve hours for good; one at 480 or below is neither hit nor bounced off.
TEST(FiredClockTest, OneCallSettlesTheFirstEventInFiringOrderThenBillOrder) {
    const auto C = ClockAt;
    const FallingBill B = BillAt(400, 200, 5), low = BillAt(400, 480, 17), b2 = BillAt(1, 1, 2);
    const FiredClock c2 = C(1, 1, 2, 0);
    const struct {
        std::vector<FallingBill> bills;
        std::vector<FiredClock> clocks;
        std::string event; // "hit", "bounce", "out" or "" for nothing
        std::size_t clock = 0, bill = 0;
        int lowered = -1; // the bill lowered by twelve hours
    } cases[] = {
        {{B}, {C(400, 250, 5, 0)}, "hit"},
        {{BillAt(400, 200, 15, 30)}, {C(400, 250, 3, 30)}, "hit"},
        {{BillAt(400, 200, 12, 15)}, {C(400, 250, 0, 15)}, "hit"},
        {{BillAt(400, 200, 12)}, {C(400, 250, 12, 0)}, "bounce", 0, 0, 0}, // unturned
        {{B}, {C(400, 250, 5, 15)}, "bounce"},
        {{B, b2}, {C(400, 250, 4, 0), c2}, "bounce"},
        {{B}, {C(297, 200, 5, 0)}, "hit"}, // edges touching
        {{B}, {C(503, 200, 5, 0)}, "hit"},
        {{B}, {C(400, 132, 5, 0)}, "hit"},
        {{B}, {C(400, 268, 5, 0)}, "hit"},
        {{B},
         {C(296.5, 200, 5, 0), C(503.5, 200, 5, 0), C(400, 131.5, 5, 0), C(400, 268.5, 5, 0)},
         ""},
        {{low}, {C(400, 500, 5, 0)}, "", 0, 0, 0},
        {{BillAt(400, 479.5, 5)}, {C(400, 500, 5, 0)}, "hit"},
        {{}, {C(1, -13, 1, 0), C(2, 600, 1, 0)}, ""},
        {{}, {C(1, -13, 1, 0), C(2, -13.5, 1, 0), C(3, -14, 1, 0)}, "out", 1},
        {{}, {C(1, 600.5, 1, 0), C(2, 601, 1, 0)}, "out"},
        {{B}, {C(1, -50, 1, 0), C(400, 250, 5, 0)}, "out"},
        {{low, BillAt(390, 380, 5), b2}, {C(700, 9, 2, 0), C(400, 430, 5, 0), c2}, "hit", 1, 1, 0},
    };
    for (auto c : cases) {
        std::vector<FallingBill> bills = c.bills; // as they should be after the call
        std::vector<FiredClock> clocks = c.clocks;
        if (c.lowered >= 0)
            bills[c.lowered].hour -= 12;
        std::srand(5);
        clocks[c.clock].bounced = c.event == "bounce";
        clocks[c.clock].bounceLeft = c.event == "bounce" && std::rand() % 2 != 0;
        if (c.event == "hit")
            bills.erase(bills.begin() + c.bill);
        if (c.event == "hit" || c.event == "out")
            clocks.erase(clocks.begin() + c.clock);
        std::srand(5);
        EXPECT_EQ(ResolveHits(c.bills, c.clocks), c.event == "hit") << Field(bills, clocks);
        EXPECT_EQ(Field(c.bills, c.clocks), Field(bills, clocks));
    }
}
