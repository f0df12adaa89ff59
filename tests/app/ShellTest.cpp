#include "app/EventPump.hpp"
#include "app/Input.hpp"
#include "app/MainLoop.hpp"
#include "support/Support.hpp"

#include <functional>

static std::string g_log;

// Logs its calls; its Update runs the action given, which may replace it.
struct LoggingScene final : Scene {
    LoggingScene(std::string name, std::function<void()> onUpdate)
        : name(std::move(name)), onUpdate(std::move(onUpdate)) {}
    ~LoggingScene() override { g_log += name + " gone, "; }
    void LoadContent(ContentManager& c) override {
        g_log += name + " loads after " + std::to_string((c.*P::textures).size()) + ", ";
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

TEST(ShellTest, ASwitchUnloadsThenLoadsAndTheLoopEndsOnceTheFrameOfACloseIsDrawn) {
    sf::RenderWindow window(sf::VideoMode(80, 60), "shell", sf::Style::None);
    g_content.LoadFile("Bill", "Content/moneybill.png");
    int frames = 0;
    ChangeScene(std::make_unique<LoggingScene>("menu", [&frames] {
        ChangeScene(std::make_unique<LoggingScene>("game", [&frames] {
            if (++frames == 2)
                ApplyEvent(sf::Event{sf::Event::Closed, {}});
        }));
    }));
    RunLoop(window);
    RunLoop(window); // with the quit flag set, not one frame more
    const std::string frame = "game input, game update, game draw, ";
    EXPECT_EQ(g_log, "menu loads after 1, menu input, menu update, game loads after 0, menu gone, "
                     "game draw, " +
                         frame + frame);
    for (const int delta : {2, -1}) { // the last turn of a frame wins
        sf::Event wheel{sf::Event::MouseWheelMoved, {}};
        wheel.mouseWheel.delta = delta;
        ApplyEvent(wheel);
    }
    EXPECT_EQ(g_wheelDelta, -1);
    sf::Event tap{sf::Event::MouseButtonPressed, {}};
    tap.mouseButton.button = sf::Mouse::Right;
    ApplyEvent(tap); // pressed and released between two frames: held in the next one only
    g_hasFocus = true;
    const bool during = ButtonHeld(sf::Mouse::Right);
    ProcessEvents(window);
    g_hasFocus = true;
    EXPECT_EQ(std::pair(during, ButtonHeld(sf::Mouse::Right)), std::pair(true, false));
    g_currentScene.reset(); // while the log lives
}
