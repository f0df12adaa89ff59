#include "app/Globals.hpp"

#include "app/Scene.hpp"
#include "content/ContentManager.hpp"

std::int32_t g_wheelDelta = 0;
bool g_quit = false;
bool g_hasFocus = false;
// Statics die in reverse order: the (already emptied) content manager goes before the scene.
std::unique_ptr<Scene> g_currentScene;
ContentManager g_content;
