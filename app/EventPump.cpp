#include "app/EventPump.hpp"

#include "app/Globals.hpp"
#include "app/Input.hpp"
#include "app/Platform.hpp"
#include "app/Scene.hpp"
#include "app/SfmlAdapter.hpp"

#include <SFML/Window/Window.hpp>

#include <cmath>
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

// A wheel with notches sends whole ones, and the last of a frame replaces the stored delta. A
// smooth wheel or a touchpad sends fractions: they add up, across frames, to whole notches that
// count as one turn of the frame they complete in; turning back drops the part not yet whole.
float s_partNotch = 0.0f;
std::int32_t s_notchesFromParts = 0; // whole notches the current frame's fractions made

void TurnWheel(float notches) {
    if (notches == std::trunc(notches)) {
        g_wheelDelta = static_cast<std::int32_t>(notches);
        s_notchesFromParts = 0;
        return;
    }
    if ((s_partNotch < 0.0f) != (notches < 0.0f)) {
        s_partNotch = 0.0f;
    }
    s_partNotch += notches;
    const float whole = std::trunc(s_partNotch);
    if (whole != 0.0f) {
        s_partNotch -= whole;
        s_notchesFromParts += static_cast<std::int32_t>(whole);
        g_wheelDelta = s_notchesFromParts;
    }
}

} // namespace

void ApplyEvent(const InputEvent& event) {
    switch (event.type) {
    case InputEvent::Type::Closed:
        g_quit = true;
        break;
    case InputEvent::Type::Wheel:
        TurnWheel(event.wheelNotches);
        break;
    case InputEvent::Type::KeyPressed:
    case InputEvent::Type::ButtonPressed:
        NotePress(event);
        break;
    case InputEvent::Type::Other:
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
    s_notchesFromParts = 0;
    InputEvent event;
    while (NextWindowEvent(window, event) || PollPlatformEvent(event)) {
        ApplyEvent(event);
    }
    if (s_stopSignal) {
        g_quit = true; // like the close button: this frame still runs to its end
    }
    g_hasFocus = HasKeyboardFocus(window);
    g_currentScene->HandleInput();
}
