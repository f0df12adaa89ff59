#include "app/EventPump.hpp"

#include "app/Globals.hpp"
#include "app/Scene.hpp"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

void ApplyEvent(const sf::Event& event) {
    switch (event.type) {
    case sf::Event::Closed:
        g_quit = true;
        break;
    case sf::Event::MouseWheelMoved:
        g_wheelDelta = event.mouseWheel.delta;
        break;
    default:
        break;
    }
}

void ProcessEvents(sf::Window& window) {
    sf::Event event;
    while (window.pollEvent(event)) {
        ApplyEvent(event);
    }
    g_currentScene->HandleInput();
}
