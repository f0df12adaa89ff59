#include "app/EventPump.hpp"

#include "app/Globals.hpp"
#include "app/Input.hpp"
#include "app/Platform.hpp"
#include "app/Scene.hpp"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <csignal>
#include <cstdlib>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

volatile std::sig_atomic_t s_stopSignal = 0;

[[noreturn]] void EndAtOnce(int) {
    _exit(0); // async-signal-safe; every failure line was flushed when it was written
}

// The loop serves a stop between two frames; a frame stuck on a display that no longer answers
// never gets there. A second stop, or a game still running two seconds after the first, ends it
// here.
void OnStopSignal(int) {
    if (s_stopSignal) {
        EndAtOnce(0);
    }
    s_stopSignal = 1;
#ifdef SIGALRM
    alarm(2);
#endif
}

} // namespace

void ApplyEvent(const sf::Event& event) {
    switch (event.type) {
    case sf::Event::Closed:
        g_quit = true;
        break;
    case sf::Event::MouseWheelMoved:
        g_wheelDelta = event.mouseWheel.delta;
        break;
    case sf::Event::KeyPressed:
    case sf::Event::MouseButtonPressed:
        NotePress(event);
        break;
    default:
        break;
    }
}

void CloseOnStopSignals() {
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#ifdef SIGHUP
    std::signal(SIGHUP, OnStopSignal); // the terminal that started the game went away
#endif
#ifdef SIGALRM
    std::signal(SIGALRM, EndAtOnce);
#endif
}

void ProcessEvents(sf::Window& window) {
    ForgetPresses();
    sf::Event event;
    while (window.pollEvent(event) || PollPlatformEvent(event)) {
        ApplyEvent(event);
    }
    if (s_stopSignal) {
        g_quit = true; // like the close button: this frame still runs to its end
    }
    g_hasFocus = HasKeyboardFocus(window);
    g_currentScene->HandleInput();
}
