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
// a bill comes strictly after five seconds since the last, one a frame however long it was.
TEST_F(MainGameSceneTest, ShotsAndBillsComeStrictlyAfterTheirIntervalsAtMostOneAFrame) {
    const std::tuple<float, int, bool, std::size_t> frames[] = {
        {0.5f, L, false, 1},  {0.01f, L, true, 1},  {0.49f, R, false, 1}, {0.02f, R, true, 1},
        {1, M, false, 1},     {2.98f, M, false, 1}, {0.01f, M, false, 2}, {4.99f, L, true, 2},
        {0.02f, M, false, 3}, {100, M, false, 4}};
    for (const auto& [seconds, button, asked, spawned] : frames) {
        g_desk.now += sf::seconds(seconds);
        g_desk.buttons = {button};
        game.HandleInput();
        EXPECT_EQ(game.*P::fireRequested, asked) << button << " after " << seconds;
        game.Update(window);
        EXPECT_EQ(bills.size() + 5 - game.*P::lives, spawned) << seconds; // escaped ones too
    }
}
