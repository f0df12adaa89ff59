#include "support/Support.hpp"

#include <gtest/gtest.h>
#include <list>

struct PlayerClockTest : testing::Test {
    PlayerClock& Make(unsigned height) { // on a face 90 wide
        ContentManager& content = contents.emplace_back();
        (content.*P::textures)["Player clock"].create(90, height);
        (content.*P::textures)["Clock hand"].create(3, 40);
        clocks.emplace_back().Init(content);
        return clocks.back();
    }
    std::list<ContentManager> contents;
    std::list<PlayerClock> clocks;
};

TEST_F(PlayerClockTest, TheWheelTurnsTheHandsByTheWholeDeltaAndFoldsTheTimeOntoTwelveHours) {
    // From 12:00 by notches: 47 is 11:45, 48 is 0:00, 46 is 11:30, 14 is 3:30, 12 is 3:00.
    const std::tuple<int, int, float, float> folds[] = {
        {0, 1, 0, 15},    {47, 1, 0, 0}, {48, -1, 11, 45}, {46, 5, 0, 45}, {47, 5, 0, 0},
        {48, -5, 11, 45}, {14, 2, 4, 0}, {12, -4, 2, 0},   {1, -1, 0, 0},  {0, -1, 11, 45}};
    for (const auto& [notches, delta, hour, minute] : folds) {
        PlayerClock& clock = Make(90);
        for (int turn = 0; turn <= notches; ++turn) {
            g_wheelDelta = turn < notches ? 1 : delta;
            clock.TurnHands();
        }
        EXPECT_EQ(std::pair(clock.Hour(), clock.Minute()), std::pair(hour, minute))
            << notches << " " << delta;
    }
    EXPECT_EQ(
        std::pair(clocks.back().MinuteHand().getRotation(), clocks.back().HourHand().getRotation()),
        std::pair(270.0f, 352.5f)); // turned by one notch back
}

TEST_F(PlayerClockTest, ARecoilSinksToTheBottomClimbsBackAndItsMemoryOutlivesTheClock) {
    PlayerClock& clock = Make(90);
    std::vector<int> heights;
    while (!clock.Recoil(1.0 / 60) && heights.size() < 99)
        heights.push_back(clock.*P::y);
    // 4 down a frame until the face touches the bottom (555); that call already climbs, 3 a frame.
    EXPECT_EQ(heights, std::vector<int>({539, 543, 547, 551, 555, 552, 549, 546, 543, 540, 537}));
    EXPECT_EQ(std::tuple(clock.*P::y, clock.Body().getPosition().y,
                         clock.Body().getTexture()->isSmooth()),
              std::tuple(534, 535.0f, true));             // a smoothed face
    EXPECT_FALSE(clock.Recoil(1.0) || clock.Recoil(1.0)); // sinks 250 a second, climbs 125
    EXPECT_EQ(clock.*P::y, 659);                          // the game is lost meanwhile
    PlayerClock& next = Make(100);      // stands at 525; the rest height stays the first clock's
    EXPECT_TRUE(next.Recoil(1.0 / 60)); // its first recoil climbs and ends at once
    EXPECT_EQ(std::pair(next.*P::y, next.Body().getPosition().y), std::pair(522, 535.0f));
    for (const auto& [x, at] : {std::pair(-100, 78), {79, 79}, {900, 722}}) {
        next.PlaceClock(x); // the margin is 600 - 522
        EXPECT_EQ(next.HourHand().getPosition(), sf::Vector2f(at, 522)) << x;
    }
}
