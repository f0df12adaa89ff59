#include "app/Platform.hpp"

#include <SFML/Config.hpp>
#include <SFML/Window/Window.hpp>

#if defined(SFML_SYSTEM_LINUX)
#include <X11/Xlib.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#endif

#if defined(SFML_SYSTEM_LINUX)

void KeepStandardStreams() {
    for (const int fd : {0, 1, 2}) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY); // takes the lowest free number
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
}

std::string MissingDisplay() {
    const char* name = std::getenv("DISPLAY");
    const std::string advice = "; to play without a screen, run it under xvfb-run";
    if (name == nullptr || *name == '\0') {
        return "zorvane: there is no X display to open the window on (DISPLAY is not set)" + advice;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return "zorvane: cannot open the X display \"" + std::string(name) + "\"" + advice;
    }
    int opcode = 0;
    int event = 0;
    int error = 0;
    const bool glx = XQueryExtension(display, "GLX", &opcode, &event, &error);
    XCloseDisplay(display);
    if (!glx) {
        return "zorvane: the X display \"" + std::string(name) +
               "\" has no OpenGL (no GLX extension), which the game draws with" + advice;
    }
    return {};
}

bool HasKeyboardFocus(const sf::Window& window) {
    // A connection of our own: SFML keeps its own to itself.
    static const std::unique_ptr<Display, int (*)(Display*)> s_display(XOpenDisplay(nullptr),
                                                                       XCloseDisplay);
    if (!s_display) {
        return window.hasFocus();
    }
    const auto ours = static_cast<::Window>(window.getSystemHandle());
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(s_display.get(), &focus, &revert);
    if (focus != PointerRoot) {
        return focus == ours;
    }
    ::Window root = 0;
    ::Window top = 0; // the top-level window under the pointer
    int x = 0;
    int y = 0;
    unsigned buttons = 0;
    XQueryPointer(s_display.get(), DefaultRootWindow(s_display.get()), &root, &top, &x, &y, &x, &y,
                  &buttons);
    return top == ours;
}

#else

void KeepStandardStreams() {}

std::string MissingDisplay() {
    return {};
}

bool HasKeyboardFocus(const sf::Window& window) {
    return window.hasFocus();
}

#endif
