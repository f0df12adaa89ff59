#include "support/Support.hpp"

struct MainGameSceneTest : SceneTest {
    MainGameScene& game = (ChangeScene(std::make_unique<MainGameScene>()), Game());
    std::vector<FallingBill>& bills = (game.*P::bills).List();
};

TEST_F(MainGameSceneTest, ThePaceRisesOnceAtEachTenthPointAndTheFifthBillOutEndsTheGame) {
    const std::tuple<int, int, double> steps[] = {
        {9, 70, 0.2}, {1, 100, 0.3}, {10, 115, 0.39}, {10, 125, 0.468}, {10, 135, 0.5616}};
    for (const auto& [points, fall, rate] : steps) {
        for (int i = 0; i < points; ++i) { // as a player scores: a clock meets a bill of its time
            bills.push_back(BillAt(400, 200, 4, 30));
            (game.*P::fired).push_back(ClockAt(400, 250, 4, 30));
            Frame(sf::Time::Zero);
        }
        Frame(sf::Time::Zero); // staying on a tenth point does not ramp again
        EXPECT_EQ(game.*P::bills.*P::fallSpeed, fall) << game.*P::score;
        EXPECT_NEAR(game.*P::spawnRate, rate, 1e-12) << game.*P::score;
    }
    bills.assign(5, BillAt(300, 699, 1));
    Frame(sf::Time::Zero);
    EXPECT_EQ(std::tuple(game.*P::lives, game.*P::gameOver,
                         (g_content.*P::textures)["Player clock"].isSmooth()), // the face alone
              std::tuple(0, true, true));
}

// Either button asks for a shot strictly after half a second since the last, the middle one not;
// a bill comes strictly after five seconds since the last. Each wait is played in frames of a
// tenth of a second, the button held in its last one only.
TEST_F(MainGameSceneTest, ShotsAndBillsComeStrictlyAfterTheirIntervals) {
    const std::tuple<float, sf::Mouse::Button, bool, std::size_t> waits[] = {
        {0.5f, L, false, 1},  {0.01f, L, true, 1}, {0.49f, R, false, 1},
        {0.02f, R, true, 1},  {1, M, false, 1},    {2.98f, M, false, 1},
        {0.01f, M, false, 2}, {4.99f, L, true, 2}, {0.02f, M, false, 3}};
    for (const auto& [seconds, button, asked, spawned] : waits) {
        g_desk.buttons = {};
        sf::Time left = sf::seconds(seconds);
        for (; left > sf::seconds(0.1f); left -= sf::seconds(0.1f))
            Frame(sf::seconds(0.1f));
        g_desk.buttons = {button};
        g_desk.now += left;
        game.HandleInput();
        EXPECT_EQ(game.*P::fireRequested, asked)
            << static_cast<int>(button) << " after " << seconds;
        game.Update(window);
        EXPECT_EQ(bills.size() + 5 - game.*P::lives, spawned) << seconds; // escaped ones too
    }
}

// A frame after the process stood still (stopped, suspended, dragged) plays on as after a few
// frames' worth: no bill is born part-way down, none leaps out to cost a life, and the clock's
// recoil stays in the window.
TEST_F(MainGameSceneTest, AStallReplaysNoMoreThanAFewFrames) {
    bills.assign(1, BillAt(300, 500, 1));
    for (int frame = 0; frame < 6; ++frame)
        Frame(sf::seconds(0.1f));
    g_desk.buttons = {L};
    Frame(sf::seconds(0.1f)); // fires, the recoil begins
    g_desk.buttons = {};
    for (const float stall : {5.0f, 60.0f}) {
        Frame(sf::seconds(stall));
        EXPECT_EQ(std::tuple(bills.size(), game.*P::lives), std::tuple(1u, 5)) << stall;
        EXPECT_LT(game.*P::playerClock.*P::y, 600) << stall;
        EXPECT_GT(game.*P::playerClock.*P::y, 400) << stall;
    }
    for (int frame = 0; frame < 100; ++frame) // a few seconds of play: the recoil ends at rest
        Frame(sf::milliseconds(20));
    EXPECT_GT(game.*P::playerClock.*P::y, 400);
}
