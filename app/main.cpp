#include "app/ChangeScene.hpp"
#include "app/EventPump.hpp"
#include "app/Globals.hpp"
#include "app/MainLoop.hpp"
#include "app/Platform.hpp"
#include "app/Window.hpp"
#include "content/ContentManager.hpp"
#include "menu/MenuScene.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include <iostream>

int main(int, char**) {
    CloseOnStopSignals();  // first: a stop request from now on ends the game the quiet way
    KeepStandardStreams(); // before anything opens a file
    if (const std::string missing = ConnectToDisplay(); !missing.empty()) {
        std::cerr << missing << std::endl;
        return 0; // SFML would abort or crash here; the game ends as it always does
    }
    sf::RenderWindow window;
    InitWindow(window, 800, 600, "Zorvane - Quendral");
    ChangeScene(std::make_unique<MenuScene>());
    RunLoop(window);
    // Its render textures go while SFML's GL state lives: linked in statically, SFML may be
    // torn down before the program's own globals.
    g_currentScene.reset();
    g_content.UnloadAll();
    return 0;
}
