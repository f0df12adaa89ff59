#include "entities/PlayerClock.hpp"

#include "app/Globals.hpp"
#include "content/ContentManager.hpp"
#include "support/TestContent.hpp"

#include <gtest/gtest.h>

class PlayerClockTest : public testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }

    PlayerClock MakeClock(unsigned faceWidth, unsigned faceHeight) {
        content.LoadFile("Player clock", WritePng(dir.File("face.png"), faceWidth, faceHeight));
        content.LoadFile("Clock hand", WritePng(dir.File("hand.png"), 3, 40));
        PlayerClock clock;
        clock.Init(content);
        content.UnloadAll();
        return clock;
    }

    void Turn(PlayerClock& clock, int delta) {
        g_wheelDelta = delta;
        clock.TurnHands();
    }

    TempDir dir;
    ContentManager content;
};

TEST_F(PlayerClockTest, InitStandsTheFaceOnItsRestHeightLeftOfCentre) {
    const PlayerClock clock = MakeClock(90, 90);
    EXPECT_EQ(clock.Y(), 535);
    EXPECT_EQ(clock.Body().getOrigin(), sf::Vector2f(45, 45));
    // Placed at 400 - width / 2, not at the window's centre.
    EXPECT_EQ(clock.Body().getPosition(), sf::Vector2f(355, 535));
    EXPECT_EQ(clock.MinuteHand().getPosition(), sf::Vector2f(355, 535));
    EXPECT_EQ(clock.HourHand().getPosition(), sf::Vector2f(355, 535));
    EXPECT_EQ(clock.Hour(), 12.0f);
    EXPECT_EQ(clock.Minute(), 0.0f);
    EXPECT_FALSE(clock.IsRecoiling());

    EXPECT_EQ(clock.MinuteHand().getOrigin(), sf::Vector2f(1.5f, 40.0f));
    EXPECT_EQ(clock.HourHand().getOrigin(), sf::Vector2f(1.5f, static_cast<float>(40 / 1.4)));
    EXPECT_EQ(clock.HourHand().getTextureRect(), sf::IntRect(0, 10, 3, 25));
    EXPECT_EQ(clock.MinuteHand().getTextureRect(), sf::IntRect(0, 0, 3, 40));
    EXPECT_TRUE(clock.Body().getTexture()->isSmooth());
}

TEST_F(PlayerClockTest, OddSizesTruncateTowardZero) {
    const PlayerClock clock = MakeClock(91, 91);
    EXPECT_EQ(clock.Y(), 534);
    EXPECT_EQ(clock.Body().getOrigin(), sf::Vector2f(45.5f, 45.5f));
    EXPECT_EQ(clock.Body().getPosition().x, 354.0f);
}

TEST_F(PlayerClockTest, PlaceClockClampsToTheMarginOnBothSides) {
    PlayerClock clock = MakeClock(90, 90);
    clock.PlaceClock(-5000);
    EXPECT_EQ(clock.Body().getPosition(), sf::Vector2f(65, 535));
    clock.PlaceClock(64);
    EXPECT_EQ(clock.Body().getPosition().x, 65.0f);
    clock.PlaceClock(66);
    EXPECT_EQ(clock.Body().getPosition().x, 66.0f);
    clock.PlaceClock(735);
    EXPECT_EQ(clock.Body().getPosition().x, 735.0f);
    clock.PlaceClock(736);
    EXPECT_EQ(clock.Body().getPosition().x, 735.0f);
    clock.PlaceClock(90000);
    EXPECT_EQ(clock.HourHand().getPosition(), sf::Vector2f(735, 535));
}

TEST_F(PlayerClockTest, AMarginOver400LetsTheRightClampWin) {
    PlayerClock clock = MakeClock(90, 525);
    ASSERT_EQ(clock.Y(), 100);
    for (int x : {-100, 0, 300, 400, 500, 1000}) {
        clock.PlaceClock(x);
        EXPECT_EQ(clock.Body().getPosition().x, 300.0f) << "mouse at " << x;
    }
}

struct Fold {
    float hour;
    float minute;
    int delta;
    float wantHour;
    float wantMinute;
};

TEST_F(PlayerClockTest, TheWheelFoldsTheTimeOntoTwelveHours) {
    const Fold folds[] = {
        {12, 0, +1, 0, 15},  {12, 0, -1, 11, 45}, {11, 45, +1, 0, 0}, {0, 0, -1, 11, 45},
        {11, 30, +5, 0, 45}, {3, 30, +2, 4, 0},   {3, 0, -4, 2, 0},   {0, 15, -1, 0, 0},
    };
    for (const Fold& fold : folds) {
        PlayerClock clock = MakeClock(90, 90);
        // Reach the starting time from 12:00 a notch at a time.
        int notches = 0;
        while (!(clock.Hour() == fold.hour && clock.Minute() == fold.minute) && notches < 60) {
            Turn(clock, 1);
            ++notches;
        }
        ASSERT_LT(notches, 60);
        Turn(clock, fold.delta);
        EXPECT_EQ(clock.Hour(), fold.wantHour)
            << fold.hour << ":" << fold.minute << " by " << fold.delta;
        EXPECT_EQ(clock.Minute(), fold.wantMinute)
            << fold.hour << ":" << fold.minute << " by " << fold.delta;
    }
}

TEST_F(PlayerClockTest, HandsTurnByTheWholeDelta) {
    PlayerClock clock = MakeClock(90, 90);
    Turn(clock, 1);
    EXPECT_FLOAT_EQ(clock.MinuteHand().getRotation(), 90.0f);
    EXPECT_FLOAT_EQ(clock.HourHand().getRotation(), 7.5f);
    Turn(clock, -3);
    EXPECT_FLOAT_EQ(clock.MinuteHand().getRotation(), 180.0f);
    EXPECT_FLOAT_EQ(clock.HourHand().getRotation(), 345.0f);
}

TEST_F(PlayerClockTest, RecoilSinksByWholeStepsClimbsByRoundedUpStepsAndStopsAtRest) {
    PlayerClock clock = MakeClock(90, 90);
    RecoilMemory memory;
    std::vector<int> heights;
    bool finished = false;
    for (int frame = 0; frame < 100 && !finished; ++frame) {
        finished = clock.Recoil(1.0 / 60.0, memory);
        heights.push_back(clock.Y());
    }
    ASSERT_TRUE(finished);
    EXPECT_EQ(*memory.restY, 535.0);
    EXPECT_FALSE(memory.returning);
    // Sinks 4 a frame until the face touches the bottom (555); the call that finds it there
    // already climbs, 3 a frame.
    const std::vector<int> want = {539, 543, 547, 551, 555, 552, 549, 546, 543, 540, 537, 534};
    EXPECT_EQ(heights, want);
    // The face lands on the rest height; the stored height stays one step past it.
    EXPECT_EQ(clock.Body().getPosition().y, 535.0f);
}

TEST_F(PlayerClockTest, ALongFrameSinksFarPastTheLimitAndTheClimbStartsNextCall) {
    PlayerClock clock = MakeClock(90, 90);
    RecoilMemory memory;
    EXPECT_FALSE(clock.Recoil(1.0, memory));
    EXPECT_EQ(clock.Y(), 785);
    EXPECT_FALSE(memory.returning);
    EXPECT_FALSE(clock.Recoil(1.0, memory));
    EXPECT_EQ(clock.Y(), 660);
    EXPECT_TRUE(memory.returning);
    EXPECT_TRUE(clock.Recoil(1.0, memory));
    EXPECT_EQ(clock.Y(), 535);
}

TEST_F(PlayerClockTest, TheRecoilMemoryOutlivesAClock) {
    RecoilMemory memory;
    {
        PlayerClock lost = MakeClock(90, 90);
        for (int frame = 0; frame < 6; ++frame) {
            lost.Recoil(1.0 / 60.0, memory);
        }
        ASSERT_TRUE(memory.returning); // the game ended while climbing
    }
    PlayerClock next = MakeClock(90, 90);
    // The next game's first recoil starts by climbing from rest and ends at once.
    EXPECT_TRUE(next.Recoil(1.0 / 60.0, memory));
    EXPECT_EQ(next.Y(), 532);
    EXPECT_FALSE(memory.returning);
}

TEST_F(PlayerClockTest, TheGamesRecoilSharesOneMemoryAcrossClocks) {
    {
        PlayerClock first = MakeClock(90, 90);
        first.Recoil(1.0 / 60.0);
    }
    // The rest height was fixed by the first clock of the run, whatever later clocks stand on.
    PlayerClock taller = MakeClock(90, 100);
    ASSERT_EQ(taller.Y(), 525);
    EXPECT_TRUE(taller.Recoil(0.0));
    EXPECT_EQ(taller.Body().getPosition().y, 535.0f);
    EXPECT_EQ(&PlayerClock::SharedRecoilMemory(), &PlayerClock::SharedRecoilMemory());
    EXPECT_EQ(*PlayerClock::SharedRecoilMemory().restY, 535.0);
}
