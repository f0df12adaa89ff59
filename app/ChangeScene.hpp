#pragma once

#include <memory>

class Scene;

// Installs a freshly made scene: unloads all content, loads the new scene's, then destroys the
// old scene. Called from inside a scene's own operation, that scene is gone when this returns.
void ChangeScene(std::unique_ptr<Scene> scene);
