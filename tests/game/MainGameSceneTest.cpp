#include "game/MainGameScene.hpp"

#include "app/ChangeScene.hpp"
#include "app/Globals.hpp"
#include "content/ContentManager.hpp"
#include "menu/MenuScene.hpp"
#include "support/Sized.hpp"
#include "support/TestContent.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

// A frame in which nothing moves but the recoil, which needs a real step to get going.
GameFrame Still(int mouseX = 400) {
    GameFrame frame;
    frame.mouseX = mouseX;
    frame.recoilSeconds = 1.0f / 60.0f;
    return frame;
}

GameKeys Shot(float sinceLastShot) {
    GameKeys keys;
    keys.leftButton = true;
    keys.sinceLastShot = sinceLastShot;
    return keys;
}

} // namespace

class MainGameSceneTest : public testing::Test {
protected:
    void SetUp() override {
        ResetGlobals();
        game = &InstallGame();
    }
    void TearDown() override { ResetGlobals(); }

    static MainGameScene& InstallGame() {
        auto scene = std::make_unique<MainGameScene>();
        MainGameScene& raw = *scene;
        ChangeScene(std::move(scene));
        return raw;
    }

    // A bill and a clock of the same time, placed to meet in the next frame.
    void ArrangeHit() {
        game->Bills().List().push_back(BillAt(400, 200, 4, 30));
        game->FiredClocks().push_back(ClockAt(400, 250, 4, 30));
    }

    void ScorePoints(int points) {
        for (int i = 0; i < points; ++i) {
            ArrangeHit();
            game->Advance(Still());
        }
    }

    void ArrangeEscapes(int count) {
        for (int i = 0; i < count; ++i) {
            game->Bills().List().push_back(BillAt(300, 700, 1, 0));
        }
    }

    MainGameScene* game = nullptr;
};

TEST_F(MainGameSceneTest, AFreshGameHasOneBillFiveLivesAndTheStartingPace) {
    EXPECT_FALSE(g_quit);
    EXPECT_EQ(game->Bills().List().size(), 1u);
    EXPECT_TRUE(game->FiredClocks().empty());
    EXPECT_EQ(game->Score(), 0);
    EXPECT_EQ(game->Lives(), 5);
    EXPECT_DOUBLE_EQ(game->SpawnRate(), 0.2);
    EXPECT_EQ(game->FiredClockSpeed(), 300);
    EXPECT_EQ(game->Bills().FallSpeed(), 70);
    EXPECT_FALSE(game->IsGameOver());
    EXPECT_FALSE(game->IsFireRequested());
    // The score panel's lines stay empty until the first frame of play.
    EXPECT_TRUE(game->ScoreText().getString().isEmpty());
    EXPECT_TRUE(game->LivesText().getString().isEmpty());
}

TEST(MainGameSceneSeedTest, TheFirstBillOfTheRunComesFromTheUnseededGenerator) {
    ResetGlobals();
    // What a generator that was never seeded gives first: hour, minute, column.
    std::srand(1);
    const int hour = std::rand() % 24;
    const int quarter = std::rand() % 4;
    const int x = std::rand() % 600 + 100;
    std::srand(1);
    auto scene = std::make_unique<MainGameScene>();
    MainGameScene& game = *scene;
    ChangeScene(std::move(scene));
    const FallingBill& first = game.Bills().List().at(0);
    EXPECT_EQ(first.hour, static_cast<float>(hour));
    EXPECT_EQ(first.minute, static_cast<float>(15 * quarter));
    EXPECT_EQ(first.sprite.getPosition(), sf::Vector2f(static_cast<float>(x), 0.0f));
    ResetGlobals();
}

TEST_F(MainGameSceneTest, PanelsAndTextsForTheShippedImages) {
    const sf::Sprite& panel = game->ScorePanel();
    EXPECT_EQ(panel.getPosition(), sf::Vector2f(10, 10));
    EXPECT_EQ(panel.getColor(), sf::Color(255, 255, 255, 200));
    const sf::FloatRect over = game->GameOverPanel().getGlobalBounds();
    EXPECT_FLOAT_EQ(over.left + over.width / 2, 400.0f);
    EXPECT_FLOAT_EQ(over.top + over.height / 2, 300.0f);
    EXPECT_EQ(game->GameOverPanel().getColor(), sf::Color(255, 255, 255, 200));

    EXPECT_EQ(game->ScoreText().getPosition(), sf::Vector2f(22, 15));
    EXPECT_EQ(game->LivesText().getPosition(), sf::Vector2f(22, 50));
    EXPECT_EQ(game->ScoreText().getCharacterSize(), 30u);
    EXPECT_EQ(game->GameOverText().getPosition(),
              game->GameOverPanel().getPosition() + sf::Vector2f(20, 20));
    EXPECT_EQ(game->RestartText().getPosition(),
              game->GameOverText().getPosition() + sf::Vector2f(10, 40));
    EXPECT_EQ(game->RestartText().getCharacterSize(), 10u);
    EXPECT_EQ(game->RestartText().getString(), "Press enter to try again");
    EXPECT_EQ(game->RestartText().getFillColor(), sf::Color::Black);

    // The panel pictures must hold their texts, up to a three-digit score.
    sf::Text score = game->ScoreText();
    score.setString("Score: 100");
    sf::Text lives = game->LivesText();
    lives.setString("Lives: -1");
    const sf::FloatRect scorePanel = panel.getGlobalBounds();
    EXPECT_TRUE(Inside(scorePanel, score.getGlobalBounds()));
    EXPECT_TRUE(Inside(scorePanel, lives.getGlobalBounds()));
    EXPECT_TRUE(Inside(over, game->GameOverText().getGlobalBounds()));
    EXPECT_TRUE(Inside(over, game->RestartText().getGlobalBounds()));
}

TEST_F(MainGameSceneTest, TheFirstFrameWritesTheScoreLines) {
    game->Advance(Still());
    EXPECT_EQ(game->ScoreText().getString(), "Score: 0");
    EXPECT_EQ(game->LivesText().getString(), "Lives: 5");
}

TEST_F(MainGameSceneTest, ABillSpawnsOnlyStrictlyAfterTheIntervalAndOnePerFrame) {
    GameFrame frame = Still();
    frame.spawnElapsed = 5.0f;
    game->Advance(frame);
    EXPECT_EQ(game->Bills().List().size(), 1u);
    frame.spawnElapsed = 5.0001f;
    game->Advance(frame);
    EXPECT_EQ(game->Bills().List().size(), 2u);
    frame.spawnElapsed = 100.0f;
    game->Advance(frame);
    EXPECT_EQ(game->Bills().List().size(), 3u);
}

TEST_F(MainGameSceneTest, ThePaceRisesOnceAtEachTenthPoint) {
    ScorePoints(9);
    EXPECT_EQ(game->Bills().FallSpeed(), 70);
    ScorePoints(1);
    EXPECT_EQ(game->Score(), 10);
    EXPECT_EQ(game->Bills().FallSpeed(), 100);
    EXPECT_DOUBLE_EQ(game->SpawnRate(), 0.3);
    // Staying at ten does not ramp again.
    game->Advance(Still());
    game->Advance(Still());
    EXPECT_EQ(game->Bills().FallSpeed(), 100);

    ScorePoints(10);
    EXPECT_EQ(game->Bills().FallSpeed(), 115);
    EXPECT_DOUBLE_EQ(game->SpawnRate(), 0.3 * 1.3);
    ScorePoints(10);
    EXPECT_EQ(game->Bills().FallSpeed(), 125);
    EXPECT_DOUBLE_EQ(game->SpawnRate(), 0.3 * 1.3 * 1.2);
    ScorePoints(10);
    EXPECT_EQ(game->Score(), 40);
    EXPECT_EQ(game->Bills().FallSpeed(), 135);
    EXPECT_DOUBLE_EQ(game->SpawnRate(), 0.3 * 1.3 * 1.2 * 1.2);
    EXPECT_EQ(game->ScoreText().getString(), "Score: 40");
}

TEST_F(MainGameSceneTest, TheRampLatchOutlivesAGameYetEveryGameRampsAtTen) {
    ScorePoints(10);
    ASSERT_FALSE(MainGameScene::RampArmed());
    MainGameScene& next = InstallGame();
    game = &next;
    game->Advance(Still());
    EXPECT_FALSE(MainGameScene::RampArmed()); // a score of 0 leaves it as the last game did
    ScorePoints(1);
    EXPECT_TRUE(MainGameScene::RampArmed());
    ScorePoints(9);
    EXPECT_EQ(game->Bills().FallSpeed(), 100);
}

TEST_F(MainGameSceneTest, TheFifthEscapeEndsTheGameAndLivesCanGoBelowZero) {
    for (int life = 4; life >= 1; --life) {
        ArrangeEscapes(1);
        game->Advance(Still());
        EXPECT_EQ(game->Lives(), life);
        EXPECT_FALSE(game->IsGameOver());
    }
    ArrangeEscapes(3);
    game->Advance(Still());
    EXPECT_TRUE(game->IsGameOver());
    EXPECT_EQ(game->Lives(), -2);
    EXPECT_EQ(game->LivesText().getString(), "Lives: -2");
}

TEST_F(MainGameSceneTest, TheLosingFrameStillFiresScoresAndWritesTheTexts) {
    game->HandleKeys(Shot(1.0f));
    ArrangeEscapes(5);
    ArrangeHit();
    game->Advance(Still());
    EXPECT_TRUE(game->IsGameOver());
    EXPECT_EQ(game->Score(), 1);
    EXPECT_EQ(game->ScoreText().getString(), "Score: 1");
    EXPECT_EQ(game->LivesText().getString(), "Lives: 0");
    ASSERT_EQ(game->FiredClocks().size(), 1u); // the player's shot; the arranged pair is gone
    EXPECT_TRUE(game->Player().IsRecoiling());

    // From then on the field stands still, whatever the clocks say.
    const sf::Vector2f shot = game->FiredClocks()[0].sprite.getPosition();
    const sf::Vector2f bill = game->Bills().List()[0].sprite.getPosition();
    GameFrame late = Still(100);
    late.spawnElapsed = 60.0f;
    late.billSeconds = late.firedSeconds = 1.0;
    late.recoilSeconds = 1.0f;
    g_wheelDelta = 1;
    game->Advance(late);
    EXPECT_EQ(game->FiredClocks()[0].sprite.getPosition(), shot);
    EXPECT_EQ(game->Bills().List()[0].sprite.getPosition(), bill);
    EXPECT_EQ(game->Bills().List().size(), 1u);
    EXPECT_EQ(g_wheelDelta, 1);
    EXPECT_EQ(game->Player().Minute(), 0.0f);
}

TEST_F(MainGameSceneTest, AWheelTurnLeftFromTheMenuTurnsTheNextGamesClock) {
    ResetGlobals();
    g_wheelDelta = -1; // turned while the menu showed
    game = &InstallGame();
    game->Advance(Still());
    EXPECT_EQ(game->Player().Hour(), 11.0f);
    EXPECT_EQ(game->Player().Minute(), 45.0f);
    EXPECT_EQ(g_wheelDelta, 0);
}

TEST_F(MainGameSceneTest, AShotTakesTheClocksTimeFromTheFaceCentreInTheSameFrame) {
    g_wheelDelta = 3;
    game->Advance(Still(250));
    game->HandleKeys(Shot(0.6f));
    EXPECT_TRUE(game->IsFireRequested());
    GameFrame frame = Still(250);
    frame.firedSeconds = 0.1;
    game->Advance(frame);
    EXPECT_FALSE(game->IsFireRequested());
    ASSERT_EQ(game->FiredClocks().size(), 1u);
    const FiredClock& shot = game->FiredClocks()[0];
    const sf::Vector2f face = game->Player().Body().getPosition();
    EXPECT_EQ(shot.sprite.getPosition(), face - sf::Vector2f(0, 30));
    EXPECT_FLOAT_EQ(shot.sprite.getRotation(), 30.0f);
    const sf::FloatRect size = game->FiredClockSprite().getLocalBounds();
    EXPECT_EQ(shot.sprite.getOrigin(), sf::Vector2f(size.width * 0.5f, size.height * 0.5f));
    EXPECT_EQ(shot.hour, 0.0f);
    EXPECT_EQ(shot.minute, 45.0f);
    EXPECT_FALSE(shot.bounced);
    EXPECT_TRUE(game->Player().IsRecoiling());
}

TEST_F(MainGameSceneTest, ShotsWaitMoreThanHalfASecondWithEitherButton) {
    game->HandleKeys(Shot(0.5f));
    EXPECT_FALSE(game->IsFireRequested());
    GameKeys right;
    right.rightButton = true;
    right.sinceLastShot = 0.51f;
    game->HandleKeys(right);
    EXPECT_TRUE(game->IsFireRequested());
    game->Advance(Still());
    GameKeys idle;
    idle.sinceLastShot = 10.0f;
    game->HandleKeys(idle);
    EXPECT_FALSE(game->IsFireRequested());
}

TEST_F(MainGameSceneTest, ReturnOnlyRestartsAfterALossAndEscapeWinsOverIt) {
    GameKeys enter;
    enter.enter = true;
    game->HandleKeys(enter);
    EXPECT_EQ(g_currentScene.get(), game);

    ArrangeEscapes(5);
    game->Advance(Still());
    ASSERT_TRUE(game->IsGameOver());
    // A click on the game-over screen is taken but never fired.
    game->HandleKeys(Shot(1.0f));
    EXPECT_TRUE(game->IsFireRequested());
    game->Advance(Still());
    EXPECT_TRUE(game->FiredClocks().empty());

    game->HandleKeys(enter);
    auto* fresh = dynamic_cast<MainGameScene*>(g_currentScene.get());
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(fresh->IsGameOver());
    EXPECT_EQ(fresh->Lives(), 5);
    // Return still held in the new game does nothing until that one is lost too.
    fresh->HandleKeys(enter);
    EXPECT_EQ(g_currentScene.get(), fresh);

    fresh->Bills().List().push_back(BillAt(300, 700, 1, 0));
    for (int i = 0; i < 4; ++i) {
        fresh->Bills().List().push_back(BillAt(300, 700, 1, 0));
    }
    fresh->Advance(Still());
    ASSERT_TRUE(fresh->IsGameOver());
    GameKeys both = enter;
    both.escape = true;
    fresh->HandleKeys(both);
    EXPECT_NE(dynamic_cast<MenuScene*>(g_currentScene.get()), nullptr);
}

TEST_F(MainGameSceneTest, EscapeDuringPlayGoesBackToTheMenu) {
    GameKeys escape;
    escape.escape = true;
    escape.leftButton = true;
    escape.sinceLastShot = 5.0f;
    game->HandleKeys(escape);
    EXPECT_NE(dynamic_cast<MenuScene*>(g_currentScene.get()), nullptr);
    EXPECT_FALSE(g_content.HasTexture("Player clock"));
    EXPECT_TRUE(g_content.HasTexture("Large bill"));
}

TEST(MainGameSceneFailureTest, AMissingImagePrintsItsLinesInLoadOrder) {
    ResetGlobals();
    ContentCopy copy;
    std::filesystem::remove(copy.File("clockhand.png"));
    std::filesystem::remove(copy.File("smallclock.png"));
    ScopedWorkingDir cwd(copy.Root());
    CaptureStdout();
    ChangeScene(std::make_unique<MainGameScene>());
    EXPECT_EQ(GetCapturedStdout(), "Could not load file from: Content/clockhand.png\n"
                                   "Could not load file from: Content/smallclock.png\n"
                                   "Could not load image: Small clock\n"
                                   "Could not load image: Clock hand\n");
    EXPECT_TRUE(g_quit);
    ResetGlobals();
}
