#include "app/ChangeScene.hpp"

#include "app/Globals.hpp"
#include "app/Scene.hpp"
#include "content/ContentManager.hpp"

void ChangeScene(std::unique_ptr<Scene> scene) {
    if (g_currentScene) {
        g_content.UnloadAll();
    }
    scene->LoadContent(g_content);
    // The old scene outlives its successor's loading; the swap destroys it.
    g_currentScene = std::move(scene);
}
