#include "app/ChangeScene.hpp"
#include "app/Globals.hpp"
#include "app/MainLoop.hpp"
#include "app/Window.hpp"
#include "content/ContentManager.hpp"
#include "menu/MenuScene.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

int main(int, char**) {
    sf::RenderWindow window;
    InitWindow(window, 800, 600, "Zorvane - Quendral");
    ChangeScene(std::make_unique<MenuScene>());
    RunLoop(window);
    g_content.UnloadAll();
    return 0;
}
