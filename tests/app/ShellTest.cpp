#include "app/EventPump.hpp"
#include "app/Input.hpp"
#include "app/MainLoop.hpp"
#include "support/Support.hpp"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>

using Log = std::vector<std::string>;

// Logs each call it gets; its Update and HandleInput run a chosen action, which may end it.
struct LoggingScene final : Scene {
    LoggingScene(std::string name, Log& log) : name(std::move(name)), log(log) {}
    ~LoggingScene() override { log.push_back(name + " gone"); }
    void LoadContent(ContentManager& c) override {
        log.push_back(name + " loads after " + std::to_string((c.*P::textures).size()));
    }
    void HandleInput() override { Run("input", onInput); }
    void Update(sf::RenderWindow&) override { Run("update", onUpdate); }
    void Draw(sf::RenderWindow&) override { Run("draw", nullptr); }
    void Run(const std::string& call, std::function<void()> action) { // a copy: it outlives us
        log.push_back(name + " " + call);
        action ? action() : void();
    }
    std::string name;
    Log& log;
    std::function<void()> onInput, onUpdate;
};

struct ShellTest : testing::Test {
    void SetUp() override { ResetGlobals(); }
    LoggingScene& Scene(const std::string& name) {
        auto scene = std::make_unique<LoggingScene>(name, log);
        LoggingScene& raw = *scene;
        ChangeScene(std::move(scene));
        return raw;
    }
    Log log;
    sf::RenderWindow window{sf::VideoMode(80, 60), "shell", sf::Style::None};
};

TEST_F(ShellTest, ASwitchUnloadsThenLoadsAndTheRestOfTheFrameRunsOnTheNewScene) {
    g_content.LoadFile("Bill", "Content/moneybill.png");
    Scene("menu").onUpdate = [this] { Scene("game").onInput = [this] { Scene("again"); }; };
    RunFrame(window);
    RunFrame(window);
    EXPECT_EQ(log, Log({"menu loads after 1", "menu input", "menu update", "game loads after 0",
                        "menu gone", "game draw", "game input", "again loads after 0", "game gone",
                        "again update", "again draw"}));
}

TEST_F(ShellTest, ACloseRequestOrAStopSignalEndsTheLoopOnceTheFrameIsDrawn) {
    int frames = 0;
    Scene("menu").onInput = [&frames] {
        sf::Event close{sf::Event::Closed, {}};
        ++frames == 3 ? ApplyEvent(close) : void();
    };
    RunLoop(window);
    EXPECT_EQ(std::pair(frames, log.back()), std::pair(3, std::string("menu draw")));
    g_quit = false;
    CloseOnStopSignals();
    std::raise(SIGTERM); // Ctrl-C or kill, between two frames
    RunLoop(window);
    EXPECT_EQ(std::pair(frames, log.back()), std::pair(4, std::string("menu draw")));
    RunLoop(window); // a start-up that failed runs no frame at all
    EXPECT_EQ(frames, 4);
}

TEST_F(ShellTest, TheLastWheelDeltaOfAFrameWinsKeysAndButtonsCountOnlyWithTheFocus) {
    for (const int delta : {2, -1}) {
        sf::Event wheel{sf::Event::MouseWheelMoved, {}};
        wheel.mouseWheel.delta = delta;
        ApplyEvent(wheel);
    }
    EXPECT_EQ(g_wheelDelta, -1);
    g_desk = {{}, {sf::Keyboard::Escape}, {sf::Mouse::Right}, {}};
    EXPECT_TRUE(KeyHeld(sf::Keyboard::Escape) && ButtonHeld(sf::Mouse::Right));
    EXPECT_FALSE(KeyHeld(sf::Keyboard::Return) || ButtonHeld(sf::Mouse::Left));
    g_hasFocus = false;
    EXPECT_FALSE(KeyHeld(sf::Keyboard::Escape) || ButtonHeld(sf::Mouse::Right));
}
