#include "support/Support.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

TEST(FiredClockTest, ClocksRiseOrAfterABounceFallDiagonallySpinningAtTheirSpeed) {
    std::vector<FiredClock> clocks = {ClockAt(100, 300, 1, 0), ClockAt(200, 300, 1, 0),
                                      ClockAt(300, 300, 1, 0)};
    clocks[1].bounced = clocks[2].bounced = clocks[2].bounceLeft = true;
    MoveFiredClocks(clocks, 300, 0.1);
    for (const auto& [i, at, turn] : {std::tuple(0, sf::Vector2f(100, 270), 30.f),
                                      {1, {230, 330}, 30.f},
                                      {2, {270, 330}, 330.f}}) {
        EXPECT_EQ(std::pair(clocks[i].sprite.getPosition(), clocks[i].sprite.getRotation()),
                  std::pair(at, turn));
    }
}

// A bill standing at 400,200 spans x 310..490 and y 145..255; a clock is 26 square.
TEST(FiredClockTest, OneCallSettlesTheFirstEventInFiringOrderThenBillOrder) {
    const FallingBill bill = BillAt(400, 200, 5, 0);
    const struct {
        const char* what;
        std::vector<FallingBill> bills;
        std::vector<FiredClock> clocks;
        const char* event; // "hit", "bounce", "out" or "" for nothing
        std::size_t clock = 0, bill = 0;
    } cases[] = {
        {"same time", {bill}, {ClockAt(400, 250, 5, 0)}, "hit"},
        {"15:30 is 3:30", {BillAt(400, 200, 15, 30)}, {ClockAt(400, 250, 3, 30)}, "hit"},
        {"12:15 is 0:15", {BillAt(400, 200, 12, 15)}, {ClockAt(400, 250, 0, 15)}, "hit"},
        {"unturned 12:00", {BillAt(400, 200, 12, 0)}, {ClockAt(400, 250, 12, 0)}, "bounce"},
        {"other minute", {bill}, {ClockAt(400, 250, 5, 15)}, "bounce"},
        {"touching", {bill}, {ClockAt(297, 200, 5, 0)}, "hit"},
        {"touching", {bill}, {ClockAt(503, 200, 5, 0)}, "hit"},
        {"touching", {bill}, {ClockAt(400, 132, 5, 0)}, "hit"},
        {"touching", {bill}, {ClockAt(400, 268, 5, 0)}, "hit"},
        {"apart",
         {bill},
         {ClockAt(296.5, 200, 5, 0), ClockAt(503.5, 200, 5, 0), ClockAt(400, 131.5, 5, 0),
          ClockAt(400, 268.5, 5, 0)},
         ""},
        {"on the line", {BillAt(400, 480, 5, 0)}, {ClockAt(400, 500, 5, 0)}, ""},
        {"above the line", {BillAt(400, 479.5, 5, 0)}, {ClockAt(400, 500, 5, 0)}, "hit"},
        {"edges", {}, {ClockAt(1, -13, 1, 0), ClockAt(2, 600, 1, 0)}, ""},
        {"out of the top",
         {},
         {ClockAt(1, -13, 1, 0), ClockAt(2, -13.5, 1, 0), ClockAt(3, -14, 1, 0)},
         "out",
         1},
        {"out of the bottom", {}, {ClockAt(1, 600.5, 1, 0), ClockAt(2, 601, 1, 0)}, "out"},
        {"out before a hit", {bill}, {ClockAt(1, -50, 1, 0), ClockAt(400, 250, 5, 0)}, "out"},
        {"first clock first",
         {BillAt(400, 480, 1, 0), BillAt(400, 380, 1, 0), BillAt(100, 100, 2, 0)},
         {ClockAt(700, 300, 2, 0), ClockAt(400, 430, 1, 0), ClockAt(100, 100, 2, 0)},
         "hit",
         1,
         1},
    };
    for (auto c : cases) {
        const std::vector<FallingBill> bills = c.bills;
        const std::vector<FiredClock> clocks = c.clocks;
        std::srand(5);
        const bool left = std::rand() % 2 != 0;
        std::srand(5);
        EXPECT_EQ(ResolveHits(c.bills, c.clocks), c.event == std::string("hit")) << c.what;
        const bool hit = c.event == std::string("hit"), gone = hit || c.event == std::string("out");
        ASSERT_EQ(std::pair(c.bills.size(), c.clocks.size()),
                  std::pair(bills.size() - hit, clocks.size() - gone))
            << c.what;
        for (std::size_t i = 0; i < c.bills.size(); ++i) { // the others keep their order
            EXPECT_EQ(c.bills[i].sprite.getPosition(),
                      bills[i + (hit && i >= c.bill)].sprite.getPosition())
                << c.what;
        }
        for (std::size_t i = 0; i < c.clocks.size(); ++i) {
            const std::size_t was = i + (gone && i >= c.clock);
            const bool bounced = c.event == std::string("bounce") && was == c.clock;
            EXPECT_EQ(c.clocks[i].sprite.getPosition(), clocks[was].sprite.getPosition()) << c.what;
            EXPECT_EQ(std::pair(c.clocks[i].bounced, bounced && c.clocks[i].bounceLeft),
                      std::pair(bounced, bounced && left))
                << c.what;
        }
    }
}

TEST(FiredClockTest, AMetBillIsLoweredForGoodAndABouncedClockBouncesAgainOrScores) {
    std::vector<FallingBill> bills = {BillAt(400, 480, 15, 0), BillAt(600, 350, 9, 15)};
    std::vector<FiredClock> clocks = {ClockAt(400, 420, 9, 15)};
    EXPECT_FALSE(ResolveHits(bills, clocks)); // met on the line: no bounce, yet lowered
    EXPECT_EQ(std::pair(bills[0].hour, clocks[0].bounced), std::pair(3.0f, false));
    bills[0].sprite.setPosition(400, 400);
    std::srand(9);
    EXPECT_FALSE(ResolveHits(bills, clocks) || ResolveHits(bills, clocks)); // twice, still over it
    const int next = std::rand();
    std::srand(9);
    std::rand();
    std::rand();
    EXPECT_EQ(std::pair(std::rand(), clocks[0].bounced), std::pair(next, true)); // two bounces drew
    clocks[0].sprite.setPosition(600, 350);
    EXPECT_TRUE(ResolveHits(bills, clocks));
}
