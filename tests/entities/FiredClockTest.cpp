#include "support/Support.hpp"

// What a call leaves: each bill's hour, then each clock's column, with '|' once it bounced.
std::string Left(const std::vector<FallingBill>& bills, const std::vector<FiredClock>& clocks) {
    std::string left;
    for (const FallingBill& bill : bills)
        left += std::to_string(int(bill.hour)) + " ";
    for (const FiredClock& clock : clocks)
        left += std::to_string(int(clock.sprite.getPosition().x)) + "-|"[clock.bounced] + " ";
    return left;
}

// B at 400,200 spans x 310..490 and y 145..255; a clock C is 26 square. A bill a clock overlaps is
// lowered to the dial's twelve hours for good; one at 480 or below is neither hit nor bounced off.
TEST(FiredClockTest, OneCallSettlesTheFirstEventInFiringOrderThenBillOrder) {
    const auto C = [](auto... at) { return ClockAt(at...); };
    const FallingBill B = BillAt(400, 200, 5), low = BillAt(400, 480, 17), b2 = BillAt(1, 1, 2);
    const struct {
        std::vector<FallingBill> bills;
        std::vector<FiredClock> clocks;
        bool hit;
        std::string left;
    } cases[] = {
        {{BillAt(400, 200, 12)}, {C(400, 250, 12)}, false, "0 400| "}, // never turned
        {{B}, {C(400, 250, 5, 15)}, false, "5 400| "},
        {{B, b2}, {C(400, 250, 4), C(1, 1, 2)}, false, "5 2 400| 1- "},
        {{B}, {C(297, 200, 5)}, true, ""}, // edges touching
        {{B}, {C(503, 200, 5)}, true, ""},
        {{B}, {C(400, 132, 5)}, true, ""},
        {{B}, {C(400, 268, 5)}, true, ""},
        {{B}, {C(296.5, 200, 5), C(503.5, 200, 5), C(400, 131.5, 5)}, false, "5 296- 503- 400- "},
        {{B}, {C(400, 268.5, 5)}, false, "5 400- "},
        {{low}, {C(400, 500, 5)}, false, "5 400- "},
        {{}, {C(1, -13, 1), C(2, 600, 1)}, false, "1- 2- "},
        {{}, {C(1, -13, 1), C(2, -13.5, 1), C(3, -14, 1)}, false, "1- 3- "},
        {{}, {C(1, 600.5, 1), C(2, 601, 1)}, false, "2- "},
        {{B}, {C(1, -50, 1), C(400, 250, 5)}, false, "5 400- "},
        {{low, BillAt(390, 380, 5), b2},
         {C(700, 9, 2), C(400, 430, 5), C(1, 1, 2)},
         true,
         "5 2 700- 1- "},
    };
    for (auto c : cases) {
        EXPECT_EQ(ResolveHits(c.bills, c.clocks), c.hit) << c.left;
        EXPECT_EQ(Left(c.bills, c.clocks), c.left);
    }
}
