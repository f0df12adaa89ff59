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
