#include "app/EventPump.hpp"
#include "app/Input.hpp"
#include "app/MainLoop.hpp"
#include "app/SfmlAdapter.hpp"
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
    sf::RenderWindow window(WindowMode(80, 60), "shell", sf::Style::None);
    g_content.LoadFile("Bill", "Content/moneybill.png");
    int frames = 0;
    ChangeScene(std::make_unique<LoggingScene>("menu", [&frames] {
        ChangeScene(std::make_unique<LoggingScene>("game", [&frames] {
            if (++frames == 2)
                ApplyEvent({InputEvent::Type::Closed});
        }));
    }));
    RunLoop(window);
    RunLoop(window); // with the quit flag set, not one frame more
    const std::string frame = "game input, game update, game draw, ";
    EXPECT_EQ(g_log, "menu loads after 1, menu input, menu update, game loads after 0, menu gone, "
                     "game draw, " +
                         frame + frame);
    for (const float delta : {2.0f, -1.0f}) // the last turn of a frame wins
        ApplyEvent({InputEvent::Type::Wheel, delta});
    EXPECT_EQ(g_wheelDelta, -1);
    InputEvent tap{InputEvent::Type::ButtonPressed};
    tap.button = R;
    ApplyEvent(tap); // pressed and released between two frames: held in the next one only
    g_hasFocus = true;
    const bool during = ButtonHeld(R);
    ProcessEvents(window);
    g_hasFocus = true;
    EXPECT_EQ(std::pair(during, ButtonHeld(R)), std::pair(true, false));
    g_currentScene.reset(); // while the log lives
}

// Whole notches: the last of a frame wins. Fractions add up across frames, in one direction, to
// whole notches, which are the turn of the frame that completes them; turning back drops the rest.
TEST(ShellTest, FractionsOfANotchAddUpToWholeTurns) {
    sf::RenderWindow window(WindowMode(80, 60), "wheel", sf::Style::None);
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
    g_currentScene.reset();
}
