#include "app/EventPump.hpp"
#include "app/Input.hpp"
#include "app/MainLoop.hpp"
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
                    ApplyEvent(sf::Event{sf::Event::Closed, {}});
            }));
        }));
        RunLoop(window);
    }
    ~ShellTest() override { g_currentScene.reset(); } // while the log lives
    sf::RenderWindow window{sf::VideoMode(80, 60), "shell", sf::Style::None};
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

TEST(InputTest, TheLastWheelTurnBeforeAFrameWins) {
    for (const int delta : {2, -1}) {
        sf::Event wheel{sf::Event::MouseWheelMoved, {}};
        wheel.mouseWheel.delta = delta;
        ApplyEvent(wheel);
    }
    EXPECT_EQ(g_wheelDelta, -1);
}

TEST_F(ShellTest, AButtonPressedAndReleasedBetweenFramesIsHeldInTheNextFrameOnly) {
    ChangeScene(std::make_unique<LoggingScene>("scene", nullptr));
    sf::Event tap{sf::Event::MouseButtonPressed, {}};
    tap.mouseButton.button = Button::Right;
    ApplyEvent(tap);
    g_hasFocus = true; // as the window has it
    EXPECT_TRUE(ButtonHeld(Button::Right));
    ProcessEvents(window);
    g_hasFocus = true;
    EXPECT_FALSE(ButtonHeld(Button::Right));
}
