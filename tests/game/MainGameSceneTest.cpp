#include "support/Support.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

struct MainGameSceneTest : testing::Test {
    void SetUp() override {
        ResetGlobals();
        std::srand(1); // as the generator stands before anything seeds it
        game = &Install<MainGameScene>();
    }
    // One frame as the loop runs it, the given time after the last one.
    void Frame(float seconds) {
        g_desk.now += sf::seconds(seconds);
        g_currentScene->HandleInput();
        g_currentScene->Update(window);
    }
    std::vector<FallingBill>& Bills() { return (game->*P::bills).List(); }
    // Points scored as a player scores them: a clock meets a bill of its time.
    void Score(int points) {
        for (int i = 0; i < points; ++i) {
            Bills().push_back(BillAt(400, 200, 4, 30));
            (game->*P::fired).push_back(ClockAt(400, 250, 4, 30));
            Frame(0);
        }
    }
    sf::RenderWindow window{sf::VideoMode(800, 600), "game", sf::Style::None};
    MainGameScene* game = nullptr;
};

TEST_F(MainGameSceneTest, AGameStartsWithOneBillFromTheUnseededGeneratorAndItsPanelsInPlace) {
    std::srand(1);
    const int hour = std::rand() % 24, minute = std::rand() % 4 * 15, x = std::rand() % 600 + 100;
    ASSERT_EQ(Bills().size(), 1u);
    EXPECT_EQ(std::tuple(Bills()[0].hour, Bills()[0].minute, Bills()[0].sprite.getPosition()),
              std::tuple(float(hour), float(minute), sf::Vector2f(x, 0)));
    const sf::Sprite& over = game->*P::overPanel;
    const sf::FloatRect size = over.getLocalBounds();
    const sf::Color translucent(255, 255, 255, 200);
    EXPECT_EQ(std::tuple(over.getPosition(), over.getColor(), (game->*P::scorePanel).getColor()),
              std::tuple(sf::Vector2f(400 - size.width / 2, 300 - size.height / 2), translucent,
                         translucent));
    EXPECT_EQ(std::tuple((game->*P::scoreText).getPosition(), (game->*P::livesText).getPosition(),
                         (game->*P::restartText).getPosition()),
              std::tuple(sf::Vector2f(22, 15), sf::Vector2f(22, 50),
                         over.getPosition() + sf::Vector2f(30, 60)));
}

TEST_F(MainGameSceneTest, BillsComeStrictlyAfterTheIntervalSinceTheLastOneAtMostOnePerFrame) {
    const std::pair<float, std::size_t> frames[] = {
        {5, 1}, {0.001f, 2}, {4.99f, 2}, {0.02f, 3}, {100, 4}};
    for (const auto& [seconds, spawned] : frames) {
        Frame(seconds);
        EXPECT_EQ(Bills().size() + 5 - game->*P::lives, spawned) << seconds; // escaped ones too
    }
}

TEST_F(MainGameSceneTest, EitherButtonAsksForAShotOncePerHalfSecond) {
    const std::tuple<sf::Mouse::Button, float, bool> frames[] = {
        {sf::Mouse::Left, 0.5f, false},  {sf::Mouse::Left, 0.01f, true},
        {sf::Mouse::Left, 0.49f, false}, {sf::Mouse::Left, 0.02f, true},
        {sf::Mouse::Right, 0.6f, true},  {sf::Mouse::Middle, 1, false}};
    for (const auto& [button, seconds, asked] : frames) {
        g_desk.buttons = {button};
        g_desk.now += sf::seconds(seconds);
        game->HandleInput();
        EXPECT_EQ(game->*P::fireRequested, asked) << button << " after " << seconds;
        game->Update(window);
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
    Frame(0.25);
    ASSERT_EQ((game->*P::fired).size(), 1u);
    const sf::Sprite& shot = (game->*P::fired)[0].sprite;
    const sf::FloatRect size = shot.getLocalBounds();
    EXPECT_EQ(std::tuple(shot.getPosition(), shot.getRotation(), shot.getOrigin(),
                         (game->*P::fired)[0].minute),
              std::tuple(sf::Vector2f(250, 535 - 75), 75.0f,
                         sf::Vector2f(size.width / 2, size.height / 2),
                         30.0f)); // flown one frame
    EXPECT_EQ(std::tuple(player.IsRecoiling(), player.*P::y, game->*P::fireRequested),
              std::tuple(true, 535 + 62, false)); // sunk one frame's worth at 250 px/s
}

TEST_F(MainGameSceneTest, ThePaceRisesOnceAtEachTenthPoint) {
    const std::tuple<int, int, double> steps[] = {
        {9, 70, 0.2}, {1, 100, 0.3}, {10, 115, 0.39}, {10, 125, 0.468}, {10, 135, 0.5616}};
    for (const auto& [points, fall, rate] : steps) {
        Score(points);
        Frame(0); // staying on a tenth point does not ramp again
        EXPECT_EQ(game->*P::bills.*P::fallSpeed, fall) << game->*P::score;
        EXPECT_NEAR(game->*P::spawnRate, rate, 1e-12) << game->*P::score;
    }
    EXPECT_EQ((game->*P::scoreText).getString(), "Score: 40");
}

TEST_F(MainGameSceneTest, TheLosingFrameRunsToItsEndThenTheFieldFreezesUntilReturnOrEscape) {
    g_desk.keys = {sf::Keyboard::Return}; // nothing during play
    for (const int lives : {3, 1}) {
        Bills().insert(Bills().end(), 2, BillAt(300, 700, 1, 0)); // out of the window, both
        Frame(0.3f);
        EXPECT_EQ(std::pair(game->*P::lives, game->*P::gameOver), std::pair(lives, false));
    }
    g_desk = {g_desk.now, {}, {sf::Mouse::Left}, {}};
    Bills().push_back(BillAt(300, 700, 1, 0));
    Score(1); // the frame that loses still fires, scores and writes the texts
    EXPECT_EQ(std::tuple(game->*P::gameOver, (game->*P::fired).size(),
                         (game->*P::scoreText).getString(), (game->*P::livesText).getString()),
              std::tuple(true, 1u, sf::String("Score: 1"), sf::String("Lives: 0")));
    const sf::Vector2f shot = (game->*P::fired)[0].sprite.getPosition();
    g_wheelDelta = 1;
    Frame(10);
    EXPECT_EQ(std::tuple((game->*P::fired)[0].sprite.getPosition(), Bills().size(), g_wheelDelta,
                         game->*P::fireRequested),
              std::tuple(shot, 1u, 1, true)); // a click is taken, but never fired
    g_desk.keys = {sf::Keyboard::Return};
    Frame(0);
    MainGameScene* fresh = dynamic_cast<MainGameScene*>(g_currentScene.get());
    ASSERT_TRUE(fresh != nullptr && fresh != game);
    Frame(0); // Return still held: nothing more until this game is lost too
    EXPECT_EQ(std::pair(g_currentScene.get(), fresh->*P::lives),
              std::pair(static_cast<Scene*>(fresh), 5));
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
    (game->*P::fired)[0].sprite.setPosition(440, 500); // half under the face
    sf::Image hand; // a hand whose rows differ, so which hand lies on top shows
    hand.create(3, 40);
    for (unsigned row = 0; row < 40; ++row) {
        hand.setPixel(1, row, sf::Color(row * 6, 0, 255 - row * 6));
    }
    const_cast<sf::Texture*>((game->*P::player).MinuteHand().getTexture())->update(hand);
    for (const sf::Vector2f at : {sf::Vector2f(500, 560), {530, 570}, {100, 50}, {400, 300}}) {
        (game->*P::bills).SpawnBill(); // over the player, over each other, under the panels
        Bills().back().sprite.setPosition(at);
        Bills().back().text.setPosition(at);
    }
    const PlayerClock& player = game->*P::player;
    for (const bool over : {false, true}) {
        game->*P::gameOver = over;
        game->Draw(window);
        std::vector<const sf::Drawable*> stack = {&(game->*P::fired)[0].sprite, &player.Body(),
                                                  &player.MinuteHand(), &player.HourHand()};
        for (const FallingBill& bill : Bills()) {
            stack.insert(stack.end(), {&bill.sprite, &bill.text});
        }
        stack.insert(stack.end(),
                     {&(game->*P::scorePanel), &(game->*P::scoreText), &(game->*P::livesText)});
        if (over) {
            stack.insert(stack.end(),
                         {&(game->*P::overPanel), &(game->*P::overText), &(game->*P::restartText)});
        }
        EXPECT_TRUE(Shows(window, stack)) << "game over: " << over;
    }
}
