#pragma once

#include <cstdint>
#include <memory>

class ContentManager;
class Scene;

// Process-wide state, touched from the main thread only.
extern std::int32_t g_wheelDelta;
extern bool g_quit;
// Whether the window had the keyboard focus when the event pump last asked.
extern bool g_hasFocus;
extern std::unique_ptr<Scene> g_currentScene;
extern ContentManager g_content;
