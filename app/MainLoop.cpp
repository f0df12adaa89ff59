#include "app/MainLoop.hpp"

#include "app/EventPump.hpp"
#include "app/Globals.hpp"
#include "app/Scene.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

void RunFrame(sf::RenderWindow& window) {
    ProcessEvents(window);
    g_currentScene->Update(window);
    g_currentScene->Draw(window);
}

void RunLoop(sf::RenderWindow& window) {
    while (!g_quit) {
        RunFrame(window);
    }
}
