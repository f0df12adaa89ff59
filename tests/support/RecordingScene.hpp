#pragma once

#include "app/Scene.hpp"
#include "content/ContentManager.hpp"

#include <functional>
#include <string>
#include <vector>

// A scene that writes each call into a shared log, and can run a chosen action inside one.
class RecordingScene final : public Scene {
public:
    RecordingScene(std::string name, std::vector<std::string>& log) : m_name(name), m_log(log) {}
    ~RecordingScene() override { m_log.push_back(m_name + ".destroyed"); }

    void LoadContent(ContentManager& content) override {
        m_log.push_back(m_name + ".load with " + std::to_string(content.TextureCount()) +
                        " textures");
    }
    void HandleInput() override { Call("input", onInput); }
    void Update(sf::RenderWindow&) override { Call("update", onUpdate); }
    void Draw(sf::RenderWindow&) override { Call("draw", onDraw); }

    std::function<void()> onInput;
    std::function<void()> onUpdate;
    std::function<void()> onDraw;

private:
    void Call(const char* what, const std::function<void()>& action) {
        m_log.push_back(m_name + "." + what);
        if (action) {
            // Copied out first: the action may destroy this scene.
            const std::function<void()> run = action;
            run();
        }
    }

    std::string m_name;
    std::vector<std::string>& m_log;
};
