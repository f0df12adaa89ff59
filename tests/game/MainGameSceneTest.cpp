#include "support/Support.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

struct MainGameSceneTest : testing::Test {
    void SetUp() override {
        ResetGlobals();
        std::srand(1); // as the generator stands before anything seeds it
        game = &Install<MainGameScene>();
        ASSERT_FALSE(g_quit);
    }
    // One frame as the loop runs it, the given time after the last one.
    void Frame(double seconds) {
        Tick(seconds);
        g_currentScene->HandleInput();
        g_currentScene->Update(window);
    }
    std::vector<FallingBill>& Bills() { return (game->*P::bills).List(); }
    // Points scored the way a player scores them: a clock meets a bill of its time.
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

TEST_F(MainGameSceneTest, AGameStartsWithOneUnseededBillFiveLivesAndItsPanelsInPlace) {
    std::srand(1);
    const int hour = std::rand() % 24, minute = std::rand() % 4 * 15, x = std::rand() % 600 + 100;
    ASSERT_EQ(Bills().size(), 1u);
    EXPECT_EQ(std::tuple(Bills()[0].hour, Bills()[0].minute, Bills()[0].sprite.getPosition()),
              std::tuple(float(hour), float(minute), sf::Vector2f(x, 0)));
    EXPECT_EQ(std::tuple(game->*P::score, game->*P::lives, game->*P::spawnRate,
                         game->*P::bills.*P::fallSpeed, game->*P::gameOver,
                         game->*P::fireRequested),
              std::tuple(0, 5, 0.2, 70, false, false));
    const sf::Sprite& panel = game->*P::scorePanel;
    const sf::Sprite& over = game->*P::overPanel;
    const sf::FloatRect size = over.getLocalBounds();
    EXPECT_EQ(std::tuple(panel.getPosition(), panel.getColor(), over.getColor(), over.getTexture()),
              std::tuple(sf::Vector2f(10, 10), sf::Color(255, 255, 255, 200),
                         sf::Color(255, 255, 255, 200), panel.getTexture()));
    EXPECT_EQ(over.getPosition(), sf::Vector2f(400 - size.width / 2, 300 - size.height / 2));
    const sf::Vector2f heading = over.getPosition() + sf::Vector2f(20, 20);
    for (const auto& [text, at, string, characterSize] :
         {std::tuple(&(game->*P::scoreText), sf::Vector2f(22, 15), "", 30u),
          {&(game->*P::livesText), {22, 50}, "", 30u},
          {&(game->*P::overText), heading, "GAME OVER", 30u},
          {&(game->*P::restartText), heading + sf::Vector2f(10, 40), "Press enter to try again",
           10u}}) {
        EXPECT_EQ(std::tuple(text->getPosition(), text->getString(), text->getCharacterSize(),
                             text->getFillColor(), text->getFont()),
                  std::tuple(at, sf::String(string), characterSize, sf::Color::Black,
                             (game->*P::overText).getFont()));
    }
}

TEST_F(MainGameSceneTest, BillsComeStrictlyAfterTheIntervalSinceTheLastOneAtMostOnePerFrame) {
    for (const auto& [seconds, spawned] :
         {std::pair(5.0, 1u), {0.001, 2u}, {4.99, 2u}, {0.02, 3u}, {100.0, 4u}}) {
        Frame(seconds);
        EXPECT_EQ(Bills().size() + 5 - game->*P::lives, spawned) << seconds; // escaped ones too
    }
}

TEST_F(MainGameSceneTest, EitherButtonAsksForAShotOncePerHalfSecond) {
    for (const auto& [button, seconds, asked] : {std::tuple(sf::Mouse::Left, 0.5, false),
                                                 {sf::Mouse::Left, 0.01, true},
                                                 {sf::Mouse::Left, 0.49, false},
                                                 {sf::Mouse::Left, 0.02, true},
                                                 {sf::Mouse::Right, 0.6, true},
                                                 {sf::Mouse::Middle, 1.0, false}}) {
        g_desk.buttons = {button};
        Tick(seconds);
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
    const FiredClock& shot = (game->*P::fired)[0];
    EXPECT_EQ(
        std::tuple(shot.sprite.getPosition(), shot.sprite.getRotation(), shot.hour, shot.minute),
        std::tuple(sf::Vector2f(250, 535 - 75), 75.0f, 7.0f, 30.0f)); // flown one frame
    EXPECT_EQ(std::tuple(player.IsRecoiling(), player.*P::y, game->*P::fireRequested),
              std::tuple(true, 535 + 62, false)); // sunk one frame's worth, 250 px/s
}

TEST_F(MainGameSceneTest, ThePaceRisesOnceAtEachTenthPoint) {
    for (const auto& [points, fall, rate] : {std::tuple(9, 70, 0.2),
                                             {1, 100, 0.3},
                                             {10, 115, 0.39},
                                             {10, 125, 0.468},
                                             {10, 135, 0.5616}}) {
        Score(points);
        Frame(0); // staying on a tenth point does not ramp again
        EXPECT_EQ(game->*P::bills.*P::fallSpeed, fall) << game->*P::score;
        EXPECT_NEAR(game->*P::spawnRate, rate, 1e-12) << game->*P::score;
    }
    EXPECT_EQ((game->*P::scoreText).getString(), "Score: 40");
}

TEST_F(MainGameSceneTest, TheLosingFrameRunsToItsEndThenTheFieldFreezesUntilReturn) {
    g_desk.keys = {sf::Keyboard::Return}; // nothing during play
    for (int lives = 4; lives >= 1; --lives) {
        Bills().push_back(BillAt(300, 700, 1, 0)); // out of the window
        Frame(0.2);
        EXPECT_EQ(std::pair(game->*P::lives, game->*P::gameOver), std::pair(lives, false));
    }
    g_desk = {g_desk.now, {}, {sf::Mouse::Left}, {}};
    Bills().insert(Bills().end(), 3, BillAt(300, 700, 1, 0));
    Score(1); // the frame that loses still fires, scores and writes the texts
    EXPECT_EQ(std::tuple(game->*P::gameOver, (game->*P::fired).size(),
                         (game->*P::scoreText).getString(), (game->*P::livesText).getString()),
              std::tuple(true, 1u, sf::String("Score: 1"), sf::String("Lives: -2")));
    const sf::Vector2f shot = (game->*P::fired)[0].sprite.getPosition();
    g_wheelDelta = 1;
    Frame(10.0);
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
    for (const bool lost : {false, true}) { // Escape leaves at any time, before Return
        fresh->*P::gameOver = lost;
        g_desk.keys = {sf::Keyboard::Escape, sf::Keyboard::Return};
        g_currentScene->HandleInput();
        EXPECT_NE(dynamic_cast<MenuScene*>(g_currentScene.get()), nullptr);
        fresh = &Install<MainGameScene>();
    }
}

TEST_F(MainGameSceneTest, AFrameStacksBackdropClocksPlayerBillsPanelsAndTheGameOverLayer) {
    g_desk.mouse = {400, 0};
    Frame(0.6);
    g_desk.buttons = {sf::Mouse::Left};
    Frame(1.0 / 60); // a clock now under the face
    for (const sf::Vector2f at : {sf::Vector2f(400, 535), {430, 545}, {100, 50}, {400, 300}}) {
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
        EXPECT_TRUE(Shows(Shown(window), window, stack)) << "game over: " << over;
    }
}
