#include "support/Support.hpp"

#include <gtest/gtest.h>
#include <list>

struct PlayerClockTest : testing::Test {
    void SetUp() override { ResetGlobals(); }
    PlayerClock& Make(unsigned width, unsigned height) {
        ContentManager& content = contents.emplace_back();
        content.LoadFile("Player clock", WritePng("face.png", width, height));
        content.LoadFile("Clock hand", WritePng("hand.png", 3, 40));
        clocks.emplace_back().Init(content);
        return clocks.back();
    }
    void Turn(PlayerClock& clock, int delta) {
        g_wheelDelta = delta;
        clock.TurnHands();
    }
    ContentCopy dir;
    std::list<ContentManager> contents;
    std::list<PlayerClock> clocks;
};

TEST_F(PlayerClockTest, TheFaceStandsLeftOfCentreAtTwelveAndFollowsTheMouseWithinItsMargin) {
    for (const auto& [size, y, x] : {std::tuple(90u, 535, 355.0f), {91u, 534, 354.0f}}) {
        const PlayerClock& clock = Make(size, size);
        EXPECT_EQ(std::tuple(clock.*P::y, clock.Body().getOrigin(), clock.Hour(), clock.Minute()),
                  std::tuple(y, sf::Vector2f(size / 2.0f, size / 2.0f), 12.0f, 0.0f));
        for (const sf::Sprite* sprite : {&clock.Body(), &clock.MinuteHand(), &clock.HourHand()}) {
            EXPECT_EQ(sprite->getPosition(), sf::Vector2f(x, y));
        }
    }
    PlayerClock& clock = Make(90, 90);
    EXPECT_EQ(std::tuple(clock.MinuteHand().getOrigin(), clock.HourHand().getOrigin(),
                         clock.HourHand().getTextureRect(), clock.Body().getTexture()->isSmooth(),
                         clock.MinuteHand().getTexture()->isSmooth()),
              std::tuple(sf::Vector2f(1.5f, 40), sf::Vector2f(1.5f, 40 / 1.4),
                         sf::IntRect(0, 10, 3, 25), true, false));
    for (const auto& [x, at] : {std::pair(-5000, 65), {64, 65}, {66, 66}, {735, 735}, {736, 735}}) {
        clock.PlaceClock(x); // the margin is 600 - 535
        EXPECT_EQ(clock.HourHand().getPosition(), sf::Vector2f(at, 535)) << x;
    }
    PlayerClock& tall = Make(90, 525); // a margin of 500: the right clamp wins
    for (const int x : {-100, 400, 1000}) {
        tall.PlaceClock(x);
        EXPECT_EQ(tall.Body().getPosition().x, 300.0f) << x;
    }
}

TEST_F(PlayerClockTest, TheWheelTurnsTheHandsByTheWholeDeltaAndFoldsTheTimeOntoTwelveHours) {
    // From 12:00 by notches: 47 is 11:45, 48 is 0:00, 46 is 11:30, 14 is 3:30, 12 is 3:00.
    for (const auto& [notches, delta, hour, minute] : {std::tuple(0, 1, 0.f, 15.f),
                                                       {0, -1, 11.f, 45.f},
                                                       {47, 1, 0.f, 0.f},
                                                       {48, -1, 11.f, 45.f},
                                                       {46, 5, 0.f, 45.f},
                                                       {14, 2, 4.f, 0.f},
                                                       {12, -4, 2.f, 0.f},
                                                       {1, -1, 0.f, 0.f}}) {
        PlayerClock& clock = Make(90, 90);
        for (int notch = 0; notch < notches; ++notch) {
            Turn(clock, 1);
        }
        Turn(clock, delta);
        EXPECT_EQ(std::pair(clock.Hour(), clock.Minute()), std::pair(hour, minute))
            << notches << " " << delta;
    }
    PlayerClock& clock = Make(90, 90);
    Turn(clock, 1);
    Turn(clock, -3);
    EXPECT_EQ(std::pair(clock.MinuteHand().getRotation(), clock.HourHand().getRotation()),
              std::pair(180.0f, 345.0f));
}

TEST_F(PlayerClockTest, ARecoilSinksToTheBottomClimbsBackAndItsMemoryOutlivesTheClock) {
    PlayerClock& clock = Make(90, 90);
    std::vector<int> heights;
    while (!clock.Recoil(1.0 / 60) && heights.size() < 99) {
        heights.push_back(clock.*P::y);
    }
    // 4 down a frame until the face touches the bottom (555); that call already climbs, 3 a frame.
    EXPECT_EQ(heights, std::vector<int>({539, 543, 547, 551, 555, 552, 549, 546, 543, 540, 537}));
    EXPECT_EQ(std::pair(clock.*P::y, clock.Body().getPosition().y), std::pair(534, 535.0f));
    EXPECT_FALSE(clock.Recoil(1.0)); // a long frame sinks far past the bottom
    EXPECT_EQ(clock.*P::y, 784);
    for (int frame = 0; frame < 4; ++frame) {
        clock.Recoil(1.0 / 60); // the game is lost while its clock climbs
    }
    PlayerClock& next = Make(90, 100);  // stands at 525; the rest height stays the first clock's
    EXPECT_TRUE(next.Recoil(1.0 / 60)); // its first recoil climbs and ends at once
    EXPECT_EQ(std::pair(next.*P::y, next.Body().getPosition().y), std::pair(522, 535.0f));
}
