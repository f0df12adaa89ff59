#include "support/Support.hpp"

enum Flight { Rising, Bounced };

// A bill at 400,200 spans x 310..490 and y 145..255; a clock is 26 square. A bill a clock overlaps
// is lowered to the dial's twelve hours for good; one at 480 or below is neither hit nor bounced
// off. What a call leaves: the bills' hours, and each clock's column and flight.
TEST(FiredClockTest, OneCallSettlesTheFirstEventInFiringOrderThenBillOrder) {
    const auto C = [](float x, float y, float hour) { return ClockAt(x, y, hour); };
    const FallingBill bill = BillAt(400, 200, 5), low = BillAt(400, 480, 17), b2 = BillAt(1, 1, 2);
    const struct {
        std::vector<FallingBill> bills;
        std::vector<FiredClock> clocks;
        bool hit;
        std::vector<int> hoursLeft;
        std::vector<std::pair<int, Flight>> clocksLeft;
    } cases[] = {
        // clang-format off
        {{BillAt(400, 200, 12)}, {C(400, 250, 12)}, false, {0}, {{400, Bounced}}}, // never turned
        {{bill}, {ClockAt(400, 250, 5, 15)}, false, {5}, {{400, Bounced}}},
        {{bill, b2}, {C(400, 250, 4), C(1, 1, 2)}, false, {5, 2}, {{400, Bounced}, {1, Rising}}},
        {{bill}, {C(297, 200, 5)}, true, {}, {}}, // edges touching
        {{bill}, {C(503, 200, 5)}, true, {}, {}},
        {{bill}, {C(400, 132, 5)}, true, {}, {}},
        {{bill}, {C(400, 268, 5)}, true, {}, {}},
        {{bill}, {C(296.5f, 200, 5), C(503.5f, 200, 5), C(400, 131.5f, 5)}, false, {5},
         {{296, Rising}, {503, Rising}, {400, Rising}}},
        {{bill}, {C(400, 268.5f, 5)}, false, {5}, {{400, Rising}}},
        {{low}, {C(400, 500, 5)}, false, {5}, {{400, Rising}}},
        {{}, {C(1, -13, 1), C(2, 600, 1)}, false, {}, {{1, Rising}, {2, Rising}}},
        {{}, {C(1, -13, 1), C(2, -13.5f, 1), C(3, -14, 1)}, false, {}, {{1, Rising}, {3, Rising}}},
        {{}, {C(1, 600.5f, 1), C(2, 601, 1)}, false, {}, {{2, Rising}}},
        {{bill}, {C(1, -50, 1), C(400, 250, 5)}, false, {5}, {{400, Rising}}},
        {{low, BillAt(390, 380, 5), b2}, {C(700, 9, 2), C(400, 430, 5), C(1, 1, 2)}, true, {5, 2},
         {{700, Rising}, {1, Rising}}},
    }; // clang-format on
    for (auto c : cases) {
        EXPECT_EQ(ResolveHits(c.bills, c.clocks), c.hit);
        std::vector<int> hours;
        for (const FallingBill& left : c.bills)
            hours.push_back(static_cast<int>(left.hour));
        std::vector<std::pair<int, Flight>> flights;
        for (const FiredClock& clock : c.clocks)
            flights.emplace_back(static_cast<int>(clock.sprite.getPosition().x),
                                 clock.bounced ? Bounced : Rising);
        EXPECT_EQ(hours, c.hoursLeft);
        EXPECT_EQ(flights, c.clocksLeft);
    }
}
