#pragma once

namespace sf {
class RenderWindow;
}
class ContentManager;

// One screen of the game. The frame loop drives the current scene once per frame; a scene
// that wants to leave hands its successor to ChangeScene and returns at once.
class Scene {
public:
    virtual void LoadContent(ContentManager& content) = 0;
    virtual void HandleInput() = 0;
    virtual void Update(sf::RenderWindow& window) = 0;
    virtual void Draw(sf::RenderWindow& window) = 0;
    virtual ~Scene() = default;
};
