#include "support/Support.hpp"

struct MainGameSceneTest : SceneTest {
    MainGameScene& game = Start<MainGameScene>();
    std::vector<FallingBill>& bills = TestPeer::Bills(game);
};

TEST_F(MainGameSceneTest, ThePaceRisesOnceAtEachTenthPointAndTheFifthBillOutEndsTheGame) {
    const std::tuple<int, int, double> steps[] = {
        {9, 70, 0.2}, {1, 100, 0.3}, {10, 115, 0.39}, {10, 125, 0.468}, {10, 135, 0.5616}};
    for (const auto& [points, fall, rate] : steps) {
        for (int i = 0; i < points; ++i) { // as a player scores: a clock meets a bill of its time
            bills.push_back(BillAt(400, 200, 4, 30));
            TestPeer::FiredClocks(game).push_back(ClockAt(400, 250, 4, 30));
            Frame(sf::Time::Zero);
        }
        Frame(sf::Time::Zero); // staying on a tenth point does not ramp again
        EXPECT_EQ(TestPeer::FallSpeed(game), fall) << TestPeer::Score(game);
        EXPECT_NEAR(TestPeer::SpawnRate(game), rate, 1e-12) << TestPeer::Score(game);
    }
    bills.assign(5, BillAt(300, 699, 1));
    Frame(sf::Time::Zero);
    EXPECT_EQ(std::pair(TestPeer::Lives(game), TestPeer::GameOver(game)), std::pair(0, true));
    EXPECT_TRUE(TestPeer::Textures(g_content)["Player clock"].isSmooth()); // the face alone
}

// Either button asks for a shot strictly after half a second since the last, the middle one not;
// a bill comes strictly after five seconds since the last. Each wait is played in frames of a
// tenth of a second, the button held in its last one only.
TEST_F(MainGameSceneTest, ShotsAndBillsComeStrictlyAfterTheirIntervals) {
    const std::tuple<float, Button, bool, int> waits[] = {
        {0.5f, Left, false, 1},    {0.01f, Left, true, 1}, {0.49f, Right, false, 1},
        {0.02f, Right, true, 1},   {1, Middle, false, 1},  {2.98f, Middle, false, 1},
        {0.01f, Middle, false, 2}, {4.99f, Left, true, 2}, {0.02f, Middle, false, 3}};
    for (const auto& [seconds, button, asked, spawned] : waits) {
        g_desk.buttons = {};
        sf::Time left = sf::seconds(seconds);
        for (; left > sf::seconds(0.1f); left -= sf::seconds(0.1f))
            Frame(sf::seconds(0.1f));
        g_desk.buttons = {button};
        g_desk.now += left;
        game.HandleInput();
        EXPECT_EQ(TestPeer::FireRequested(game), asked)
            << static_cast<int>(button) << " after " << seconds;
        game.Update(window);
        // Bills born: those in play, and those that escaped.
        EXPECT_EQ(int(bills.size()) + 5 - TestPeer::Lives(game), spawned) << seconds;
    }
}

// A frame after the process stood still (stopped, suspended, dragged) plays on as after a few
// frames' worth: no bill is born part-way down, none leaps out to cost a life, and the clock's
// recoil stays in the window.
TEST_F(MainGameSceneTest, AStallReplaysNoMoreThanAFewFrames) {
    bills.assign(1, BillAt(300, 500, 1));
    const int& clockAt = TestPeer::StandsAt(TestPeer::PlayerClockOf(game));
    for (int frame = 0; frame < 6; ++frame)
        Frame(sf::seconds(0.1f));
    g_desk.buttons = {Left};
    Frame(sf::seconds(0.1f)); // fires, the recoil begins
    g_desk.buttons = {};
    for (const float stall : {5.0f, 60.0f}) {
        Frame(sf::seconds(stall));
        EXPECT_EQ(std::tuple(bills.size(), TestPeer::Lives(game)), std::tuple(1u, 5)) << stall;
        EXPECT_LT(clockAt, 600) << stall;
        EXPECT_GT(clockAt, 400) << stall;
    }
    for (int frame = 0; frame < 100; ++frame) // a few seconds of play: the recoil ends at rest
        Frame(sf::milliseconds(20));
    EXPECT_GT(clockAt, 400);
}
