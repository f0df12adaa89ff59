#include "app/EventPump.hpp"
#include "app/Input.hpp"
#include "app/MainLoop.hpp"
#include "app/SfmlAdapter.hpp"
#include "support/Support.hpp"

#include <functional>

static std::string g_log;

// Logs its calls; its Update runs the action given, which may replace it.
struct LoggingScene final : Scene {
    LoggingScene(std::string sceneName, std::function<void()> action)
        : name(std::move(sceneName)), onUpdate(std::move(action)) {}
    ~LoggingScene() override { g_log += name + " gone, "; }
    void LoadContent(ContentManager& c) override {
        g_log += name + " loads after " + std::to_string(TestPeer::Textures(c).size()) + ", ";
    }
    void HandleInput() override { g_log += name + " input, "; }
    void Update(sf::RenderWindow&) override {
        g_log += name + " update, ";
        if (const std::function<void()> action = onUpdate) // a copy outlives the scene
            action();
    }
    void Draw(sf::RenderWindow&) override { g_log += name + " draw, "; }
    std::string name;
    std::function<void()> onUpdate;
};

struct ShellTest : testing::Test {
    // A menu whose first update switches to a game that is asked to close in its second frame.
    void RunMenuThenGame() {
        g_content.LoadFile("Bill", "Content/moneybill.png");
        ChangeScene(std::make_unique<LoggingScene>("menu", [this] {
            ChangeScene(std::make_unique<LoggingScene>("game", [this] {
                if (++gameFrames == 2)
                    ApplyEvent({InputEvent::Type::Closed});
            }));
        }));
        RunLoop(window);
    }
    ~ShellTest() override { g_currentScene.reset(); } // while the log lives
    sf::RenderWindow window{WindowMode(80, 60), "shell", sf::Style::None};
    int gameFrames = 0;
};

TEST_F(ShellTest, ASwitchUnloadsAndLoadsTheNextSceneBeforeTheLastOneGoes) {
    RunMenuThenGame();
    EXPECT_EQ(g_log.substr(0, g_log.find("game draw")),
              "menu loads after 1, menu input, menu update, game loads after 0, menu gone, ");
}

TEST_F(ShellTest, TheLoopEndsOnceTheFrameOfACloseIsDrawn) {
    RunMenuThenGame();
    RunLoop(window); // with the quit flag set, not one frame more
    const std::string frame = "game input, game update, game draw, ";
    EXPECT_EQ(g_log.substr(g_log.find("game draw")), "game draw, " + frame + frame);
}

TEST_F(ShellTest, AButtonPressedAndReleasedBetweenFramesIsHeldInTheNextFrameOnly) {
    ChangeScene(std::make_unique<LoggingScene>("scene", nullptr));
    InputEvent tap{InputEvent::Type::ButtonPressed};
    tap.button = Button::Right;
    ApplyEvent(tap);
    g_hasFocus = true; // as the window has it
    EXPECT_TRUE(ButtonHeld(Button::Right));
    ProcessEvents(window);
    g_hasFocus = true;
    EXPECT_FALSE(ButtonHeld(Button::Right));
}

// Whole notches: the last of a frame wins. Fractions add up across frames, in one direction, to
// whole notches, which are the turn of the frame that completes them; turning back drops the rest.
TEST_F(ShellTest, FractionsOfANotchAddUpToWholeTurns) {
    ChangeScene(std::make_unique<LoggingScene>("menu", nullptr));
    const std::pair<std::vector<float>, int> frames[] = {
        {{2, -1}, -1},          {{0.5f}, 0},  {{0.25f, 0.25f}, 1}, {{0.75f, 0.75f, 0.5f}, 2},
        {{0.75f, 1, 0.25f}, 1}, {{0.75f}, 0}, {{-0.5f}, 0},        {{-0.5f}, -1}};
    for (const auto& [deltas, turn] : frames) {
        g_wheelDelta = 0; // as the game scene takes it
        ProcessEvents(window);
        for (const float delta : deltas)
            ApplyEvent({InputEvent::Type::Wheel, delta});
        EXPECT_EQ(g_wheelDelta, turn) << deltas.size() << " events from " << deltas.front();
    }
}
