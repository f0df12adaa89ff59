#include "support/Support.hpp"

#include <gtest/gtest.h>

struct MainGameSceneTest : testing::Test {
    // One frame as the loop runs it, the given time after the last one.
    void Frame(float seconds) {
        g_desk.now += sf::seconds(seconds);
        g_currentScene->HandleInput();
        g_currentScene->Update(window);
    }
    std::vector<FallingBill>& Bills() { return (game->*P::bills).List(); }
    std::vector<FiredClock>& Fired() { return game->*P::fired; }
    sf::RenderWindow window{sf::VideoMode(800, 600), "game", sf::Style::None};
    MainGameScene* game = &Install<MainGameScene>();
};

// Either button asks for a shot, the middle one not; the first bill, always the same, is in the
// end-to-end tests.
TEST_F(MainGameSceneTest, ShotsAndBillsComeStrictlyAfterTheirIntervalsSinceTheLastOneAtMostOne) {
    using M = sf::Mouse;
    const std::tuple<float, M::Button, bool, std::size_t> frames[] = {
        {0.5f, M::Left, false, 1},    {0.01f, M::Left, true, 1},     {0.49f, M::Left, false, 1},
        {0.02f, M::Left, true, 1},    {0.6f, M::Right, true, 1},     {1, M::Middle, false, 1},
        {2.38f, M::Left, true, 1},    {0.001f, M::Middle, false, 2}, {4.99f, M::Left, true, 2},
        {0.02f, M::Middle, false, 3}, {100, M::Middle, false, 4}};
    for (const auto& [seconds, button, asked, spawned] : frames) {
        g_desk.now += sf::seconds(seconds);
        g_desk.buttons = {button};
        game->HandleInput();
        EXPECT_EQ(game->*P::fireRequested, asked) << button << " after " << seconds;
        game->Update(window);
        EXPECT_EQ(Bills().size() + 5 - game->*P::lives, spawned) << seconds; // escaped ones too
    }
}

TEST_F(MainGameSceneTest, AShotCarriesTheWheelsTimeFromTheFaceAndStartsTheRecoilThatFrame) {
    g_wheelDelta = -18; // turned while the menu showed: 12:00 less four and a half hours
    g_desk.mouse = {250, 0};
    const PlayerClock& player = game->*P::player;
    Frame(0.25);
    Frame(0.25); // no recoil without a shot
    EXPECT_EQ(std::tuple(player.Hour(), player.Minute(), player.*P::y, g_wheelDelta),
              std::tuple(7.0f, 30.0f, 535, 0));
    g_desk.buttons = {sf::Mouse::Left};
    Frame(0.25); // flown one frame, sunk one frame's worth at 250 px/s
    const sf::Sprite& shot = Fired().at(0).sprite;
    EXPECT_EQ(std::tuple(shot.getPosition(), shot.getRotation(), shot.getOrigin(),
                         Fired()[0].minute, player.IsRecoiling(), player.*P::y),
              std::tuple(sf::Vector2f(250, 460), 75.0f, sf::Vector2f(13, 13), 30.0f, true, 597));
}

TEST_F(MainGameSceneTest, ThePaceRisesOnceAtEachTenthPoint) {
    const std::tuple<int, int, double> steps[] = {
        {9, 70, 0.2}, {1, 100, 0.3}, {10, 115, 0.39}, {10, 125, 0.468}, {10, 135, 0.5616}};
    for (const auto& [points, fall, rate] : steps) {
        for (int i = 0; i < points; ++i) { // as a player scores: a clock meets a bill of its time
            Bills().push_back(BillAt(400, 200, 4, 30));
            Fired().push_back(ClockAt(400, 250, 4, 30));
            Frame(0);
        }
        Frame(0); // staying on a tenth point does not ramp again
        EXPECT_EQ(game->*P::bills.*P::fallSpeed, fall) << game->*P::score;
        EXPECT_NEAR(game->*P::spawnRate, rate, 1e-12) << game->*P::score;
    }
}

TEST_F(MainGameSceneTest, TheLosingFrameRunsToItsEndThenTheFieldFreezesUntilReturnOrEscape) {
    g_desk = {{}, {sf::Keyboard::Return}, {sf::Mouse::Left}, {}}; // Return does nothing in play
    Bills().assign(5, BillAt(300, 700, 1));                       // all five out of the window
    Bills().push_back(BillAt(400, 100, 4, 30));
    Fired().push_back(ClockAt(400, 330, 4, 30));
    Frame(0.6f); // the frame that loses still fires, scores and writes the texts
    EXPECT_EQ(std::tuple(g_currentScene.get(), game->*P::gameOver, Fired().size(), Bills().size(),
                         (game->*P::scoreText).getString(), (game->*P::livesText).getString()),
              std::tuple(static_cast<Scene*>(game), true, 1u, 0u, sf::String("Score: 1"),
                         sf::String("Lives: 0")));
    const sf::Vector2f shot = Fired()[0].sprite.getPosition();
    g_desk.keys.clear();
    g_wheelDelta = 1;
    Frame(10); // frozen: a click is taken, but never fired
    EXPECT_EQ(std::tuple(Fired()[0].sprite.getPosition(), Bills().size(), g_wheelDelta,
                         game->*P::fireRequested),
              std::tuple(shot, 0u, 1, true));
    g_desk.keys = {sf::Keyboard::Return};
    Frame(0);
    MainGameScene* fresh = dynamic_cast<MainGameScene*>(g_currentScene.get());
    ASSERT_TRUE(fresh != nullptr && fresh != game);
    fresh->*P::gameOver = true;
    g_desk.keys = {sf::Keyboard::Escape, sf::Keyboard::Return}; // Escape first
    Frame(0);
    EXPECT_NE(dynamic_cast<MenuScene*>(g_currentScene.get()), nullptr);
}

TEST_F(MainGameSceneTest, AFrameStacksBackdropClocksPlayerBillsPanelsAndTheGameOverLayer) {
    g_desk.mouse = {400, 0};
    Frame(0.6f);
    g_desk.buttons = {sf::Mouse::Left};
    Frame(1.0f / 60);
    Fired()[0].sprite.setPosition(440, 500); // half under the face
    for (const sf::Vector2f at : {sf::Vector2f(500, 560), {530, 570}, {100, 50}, {400, 300}}) {
        (game->*P::bills).SpawnBill(); // over the player, over each other, under the panels
        Bills().back().sprite.setPosition(at);
        Bills().back().text.setPosition(at);
    }
    const PlayerClock& player = game->*P::player;
    std::vector<const sf::Drawable*> stack = {&Fired()[0].sprite, &player.Body(),
                                              &player.MinuteHand(), &player.HourHand()};
    for (const FallingBill& bill : Bills())
        stack.insert(stack.end(), {&bill.sprite, &bill.text});
    stack.insert(stack.end(),
                 {&(game->*P::scorePanel), &(game->*P::scoreText), &(game->*P::livesText),
                  &(game->*P::overPanel), &(game->*P::overText), &(game->*P::restartText)});
    for (const bool over : {false, true}) {
        game->*P::gameOver = over;
        game->Draw(window);
        EXPECT_TRUE(Shows(window, {stack.begin(), stack.end() - (over ? 0 : 3)})) << over;
    }
}
