#include "app/ChangeScene.hpp"

#include "app/EventPump.hpp"
#include "app/Globals.hpp"
#include "app/MainLoop.hpp"
#include "content/ContentManager.hpp"
#include "support/RecordingScene.hpp"
#include "support/TestContent.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include <gtest/gtest.h>

using Log = std::vector<std::string>;

class ChangeSceneTest : public testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }

    RecordingScene* Install(const std::string& name) {
        auto scene = std::make_unique<RecordingScene>(name, log);
        RecordingScene* raw = scene.get();
        ChangeScene(std::move(scene));
        return raw;
    }

    TempDir dir;
    Log log;
};

TEST_F(ChangeSceneTest, TheFirstSceneLoadsWithoutUnloadingAnything) {
    g_content.LoadFile("kept", WritePng(dir.File("kept.png"), 2, 2));
    RecordingScene* first = Install("menu");
    EXPECT_EQ(log, Log({"menu.load with 1 textures"}));
    EXPECT_EQ(g_currentScene.get(), first);
}

TEST_F(ChangeSceneTest, ASwitchUnloadsThenLoadsTheNewSceneThenDestroysTheOld) {
    Install("menu");
    g_content.LoadFile("Bill", WritePng(dir.File("bill.png"), 2, 2));
    RecordingScene* game = Install("game");
    EXPECT_EQ(log,
              Log({"menu.load with 0 textures", "game.load with 0 textures", "menu.destroyed"}));
    EXPECT_EQ(g_currentScene.get(), game);
    EXPECT_FALSE(g_content.HasTexture("Bill"));
}

class SceneSwitchInFrameTest : public ChangeSceneTest {
protected:
    sf::RenderWindow window{sf::VideoMode(64, 48), "switch", sf::Style::None};
};

TEST_F(SceneSwitchInFrameTest, ASwitchInUpdateDrawsTheNewSceneInTheSameFrame) {
    RecordingScene* menu = Install("menu");
    menu->onUpdate = [this] { Install("game"); };
    log.clear();
    RunFrame(window);
    EXPECT_EQ(log, Log({"menu.input", "menu.update", "game.load with 0 textures", "menu.destroyed",
                        "game.draw"}));
    log.clear();
    RunFrame(window);
    EXPECT_EQ(log, Log({"game.input", "game.update", "game.draw"}));
}

TEST_F(SceneSwitchInFrameTest, ASwitchInHandleInputRunsTheNewScenesUpdateAndDraw) {
    RecordingScene* game = Install("game");
    game->onInput = [this] { Install("menu"); };
    log.clear();
    RunFrame(window);
    EXPECT_EQ(log, Log({"game.input", "menu.load with 0 textures", "game.destroyed", "menu.update",
                        "menu.draw"}));
}

TEST_F(SceneSwitchInFrameTest, ACloseRequestLetsTheFrameFinishThenEndsTheLoop) {
    RecordingScene* scene = Install("menu");
    int frames = 0;
    scene->onInput = [&frames] {
        if (++frames == 3) {
            sf::Event close;
            close.type = sf::Event::Closed;
            ApplyEvent(close);
        }
    };
    log.clear();
    RunLoop(window);
    EXPECT_EQ(frames, 3);
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log.back(), "menu.draw");
}

TEST_F(SceneSwitchInFrameTest, NoFrameRunsWhenStartUpAlreadyFailed) {
    Install("menu");
    g_quit = true;
    log.clear();
    RunLoop(window);
    EXPECT_TRUE(log.empty());
}
