#include "entities/FiredClock.hpp"

#include "support/Sized.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

using Bills = std::vector<FallingBill>;
using Clocks = std::vector<FiredClock>;

TEST(MoveFiredClocksTest, UpStraightOrDiagonallyDownAfterABounceSpinningWithTheSpeed) {
    Clocks clocks = {ClockAt(100, 300, 1, 0), ClockAt(200, 300, 1, 0), ClockAt(300, 300, 1, 0)};
    clocks[1].bounced = true;
    clocks[2].bounced = true;
    clocks[2].bounceLeft = true;
    MoveFiredClocks(clocks, 300, 0.1);
    EXPECT_EQ(clocks[0].sprite.getPosition(), sf::Vector2f(100, 270));
    EXPECT_FLOAT_EQ(clocks[0].sprite.getRotation(), 30.0f);
    EXPECT_EQ(clocks[1].sprite.getPosition(), sf::Vector2f(230, 330));
    EXPECT_FLOAT_EQ(clocks[1].sprite.getRotation(), 30.0f);
    EXPECT_EQ(clocks[2].sprite.getPosition(), sf::Vector2f(270, 330));
    EXPECT_FLOAT_EQ(clocks[2].sprite.getRotation(), 330.0f);
    // Nothing is removed while moving, however far.
    MoveFiredClocks(clocks, 300, 10.0);
    EXPECT_EQ(clocks.size(), 3u);
}

class ResolveHitsTest : public testing::Test {
protected:
    Bills bills;
    Clocks clocks;
};

TEST_F(ResolveHitsTest, NothingToSettle) {
    EXPECT_FALSE(ResolveHits(bills, clocks));
    bills.push_back(BillAt(400, 100, 3, 0));
    EXPECT_FALSE(ResolveHits(bills, clocks));
    EXPECT_EQ(bills.size(), 1u);
}

TEST_F(ResolveHitsTest, ClocksLeaveOnlyStrictlyPastTheTopOrTheBottomOnePerCall) {
    clocks = {ClockAt(100, -13.0f, 0, 0), ClockAt(150, 600.0f, 0, 0), ClockAt(200, -13.5f, 0, 0),
              ClockAt(250, 600.5f, 0, 0)};
    EXPECT_FALSE(ResolveHits(bills, clocks));
    ASSERT_EQ(clocks.size(), 3u);
    EXPECT_EQ(clocks[2].sprite.getPosition().x, 250.0f);
    EXPECT_FALSE(ResolveHits(bills, clocks));
    ASSERT_EQ(clocks.size(), 2u);
    EXPECT_FALSE(ResolveHits(bills, clocks));
    EXPECT_EQ(clocks.size(), 2u);
    EXPECT_EQ(clocks[0].sprite.getPosition().y, -13.0f);
    EXPECT_EQ(clocks[1].sprite.getPosition().y, 600.0f);
}

TEST_F(ResolveHitsTest, TouchingEdgesOverlap) {
    // The bill spans x 310..490 and y 145..255; the clock is 26 square.
    bills = {BillAt(400, 200, 5, 0)};
    const sf::Vector2f touching[] = {{297, 200}, {503, 200}, {400, 132}, {400, 268}};
    for (const sf::Vector2f at : touching) {
        clocks = {ClockAt(at.x, at.y, 5, 0)};
        EXPECT_TRUE(ResolveHits(bills, clocks)) << at.x << "," << at.y;
        bills = {BillAt(400, 200, 5, 0)};
    }
    const sf::Vector2f apart[] = {{296.5f, 200}, {503.5f, 200}, {400, 131.5f}, {400, 268.5f}};
    for (const sf::Vector2f at : apart) {
        clocks = {ClockAt(at.x, at.y, 5, 0)};
        EXPECT_FALSE(ResolveHits(bills, clocks)) << at.x << "," << at.y;
        EXPECT_FALSE(clocks[0].bounced);
    }
}

TEST_F(ResolveHitsTest, AMatchingTimeDestroysBillAndClockOnATwelveHourDial) {
    bills = {BillAt(200, 100, 1, 0), BillAt(400, 200, 15, 30), BillAt(600, 100, 2, 0)};
    clocks = {ClockAt(400, 250, 3, 30)};
    EXPECT_TRUE(ResolveHits(bills, clocks));
    EXPECT_TRUE(clocks.empty());
    ASSERT_EQ(bills.size(), 2u);
    EXPECT_EQ(bills[0].hour, 1.0f);
    EXPECT_EQ(bills[1].hour, 2.0f);

    // Twelve is zero on both sides once the wheel has turned.
    bills = {BillAt(400, 200, 12, 15), BillAt(400, 200, 0, 15)};
    clocks = {ClockAt(400, 250, 0, 15), ClockAt(400, 250, 0, 15)};
    EXPECT_TRUE(ResolveHits(bills, clocks));
    EXPECT_TRUE(ResolveHits(bills, clocks));
    EXPECT_TRUE(bills.empty());
}

TEST_F(ResolveHitsTest, AnyOtherTimeBouncesTheClockAndKeepsTheBill) {
    bills = {BillAt(400, 200, 15, 30)};
    clocks = {ClockAt(400, 250, 3, 45)};
    std::srand(5);
    const bool left = std::rand() % 2 != 0;
    std::srand(5);
    EXPECT_FALSE(ResolveHits(bills, clocks));
    ASSERT_EQ(clocks.size(), 1u);
    EXPECT_TRUE(clocks[0].bounced);
    EXPECT_EQ(clocks[0].bounceLeft, left);
    // The bill's hour was lowered for good; its printed time is not touched.
    EXPECT_EQ(bills[0].hour, 3.0f);
}

TEST_F(ResolveHitsTest, AnUnturnedClockAtTwelveNeverMatches) {
    bills = {BillAt(400, 200, 12, 0)};
    clocks = {ClockAt(400, 250, 12, 0)};
    EXPECT_FALSE(ResolveHits(bills, clocks));
    EXPECT_TRUE(clocks[0].bounced);
    EXPECT_EQ(bills.size(), 1u);
}

TEST_F(ResolveHitsTest, BillsOnOrBelowTheLineAt480AreFlownThroughButStillLowered) {
    bills = {BillAt(400, 480, 15, 0)};
    clocks = {ClockAt(400, 500, 3, 0)};
    EXPECT_FALSE(ResolveHits(bills, clocks));
    EXPECT_FALSE(clocks[0].bounced);
    EXPECT_EQ(bills.size(), 1u);
    EXPECT_EQ(bills[0].hour, 3.0f);

    bills[0].sprite.setPosition(400, 479.5f);
    EXPECT_TRUE(ResolveHits(bills, clocks));
}

TEST_F(ResolveHitsTest, OneEventPerCallInFiringOrderThenBillOrder) {
    // The first clock meets a bill on the line, then one above it: the second bill settles it.
    bills = {BillAt(400, 480, 1, 0), BillAt(400, 380, 1, 0), BillAt(100, 100, 2, 0)};
    clocks = {ClockAt(700, 300, 2, 0), ClockAt(400, 430, 1, 0), ClockAt(100, 100, 2, 0)};
    EXPECT_TRUE(ResolveHits(bills, clocks));
    ASSERT_EQ(bills.size(), 2u);
    EXPECT_EQ(bills[0].sprite.getPosition().y, 480.0f);
    EXPECT_EQ(bills[1].hour, 2.0f);
    ASSERT_EQ(clocks.size(), 2u);
    EXPECT_EQ(clocks[1].sprite.getPosition(), sf::Vector2f(100, 100));
    // The third clock waited for the next call.
    EXPECT_TRUE(ResolveHits(bills, clocks));
    EXPECT_EQ(bills.size(), 1u);
    EXPECT_EQ(clocks.size(), 1u);
}

TEST_F(ResolveHitsTest, ALeavingClockEndsTheCallBeforeALaterHit) {
    bills = {BillAt(400, 200, 6, 0)};
    clocks = {ClockAt(100, -50, 1, 0), ClockAt(400, 250, 6, 0)};
    EXPECT_FALSE(ResolveHits(bills, clocks));
    EXPECT_EQ(clocks.size(), 1u);
    EXPECT_EQ(bills.size(), 1u);
    EXPECT_TRUE(ResolveHits(bills, clocks));
}

TEST_F(ResolveHitsTest, ABouncedClockStillOverlappingBouncesAgainAndCanScoreOnTheWayDown) {
    bills = {BillAt(400, 200, 7, 0), BillAt(600, 350, 9, 15)};
    clocks = {ClockAt(400, 250, 9, 15)};
    EXPECT_FALSE(ResolveHits(bills, clocks));
    EXPECT_TRUE(clocks[0].bounced);
    EXPECT_FALSE(ResolveHits(bills, clocks));
    EXPECT_TRUE(clocks[0].bounced);
    clocks[0].sprite.setPosition(600, 350);
    EXPECT_TRUE(ResolveHits(bills, clocks));
    EXPECT_EQ(bills.size(), 1u);
}
