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
    EXPECT_EQ(
        std::tuple(TestPeer::Lives(game), TestPeer::GameOver(game),
                   TestPeer::Textures(g_content)["Player clock"].isSmooth()), // the face alone
        std::tuple(0, true, true));
}

// Either button asks for a shot strictly after half a second since the last, the middle one not;
// a bill comes strictly after five seconds since the last, one a frame however long it was.
TEST_F(MainGameSceneTest, ShotsAndBillsComeStrictlyAfterTheirIntervalsAtMostOneAFrame) {
    const std::tuple<float, Button, bool, int> frames[] = {
        {0.5f, Left, false, 1},    {0.01f, Left, true, 1}, {0.49f, Right, false, 1},
        {0.02f, Right, true, 1},   {1, Middle, false, 1},  {2.98f, Middle, false, 1},
        {0.01f, Middle, false, 2}, {4.99f, Left, true, 2}, {0.02f, Middle, false, 3},
        {100, Middle, false, 4}};
    for (const auto& [seconds, button, asked, spawned] : frames) {
        g_desk.now += sf::seconds(seconds);
        g_desk.buttons = {button};
        game.HandleInput();
        EXPECT_EQ(TestPeer::FireRequested(game), asked) << button << " after " << seconds;
        game.Update(window);
        EXPECT_EQ(static_cast<int>(bills.size()) + 5 - TestPeer::Lives(game), spawned)
            << seconds; // escaped ones too
    }
}
