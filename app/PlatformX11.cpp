#include "app/Platform.hpp"
#include "app/SfmlAdapter.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

// The window's icons, PNG files built into the program (see CMakeLists.txt).
#include "WindowIconFiles.inc"

namespace {

// The game's own connection, open for the whole run. It creates the window, so the window
// manager's close requests and pings come here; and held from the start, it keeps a server whose
// only client it was from resetting while SFML opens its own connection.
Display* s_display = nullptr;
XVisualInfo* s_visual = nullptr;
::Window s_window = 0;
bool s_confined = false;
// Another client holds the keyboard or the pointer grab: what it reads is not meant for the game.
bool s_keyboardTaken = false;
bool s_pointerTaken = false;

[[noreturn]] void Leave(const std::string& why) {
    std::fflush(nullptr);
    const std::string line = "zorvane: " + why + "; the game ends\n";
    [[maybe_unused]] const ssize_t written = write(2, line.data(), line.size());
    _exit(0); // exit() would close SFML's connection too, which fails the same way once more
}

int OnLostDisplay(Display*) {
    Leave("lost the connection to the X display");
}

int OnRefusedRequest(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        Leave("the game's window was taken away (its connection to the X display was cut)");
    }
    char name[80] = "";
    XGetErrorText(display, error->error_code, name, sizeof name);
    Leave("the X display refused a request (" + std::string(name) + ")");
}

Atom Intern(const char* name) {
    return XInternAtom(s_display, name, False);
}

// Where the primary monitor lies on the screen; the whole screen when RandR knows no monitors.
sf::IntRect PrimaryMonitor() {
    const int screen = DefaultScreen(s_display);
    sf::IntRect area({0, 0}, {DisplayWidth(s_display, screen), DisplayHeight(s_display, screen)});
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(s_display, &major, &minor) ||
        !XRRQueryVersion(s_display, &major, &minor) || major * 100 + minor < 105) {
        return area; // a server before monitors were known
    }
    int count = 0;
    XRRMonitorInfo* const monitors =
        XRRGetMonitors(s_display, RootWindow(s_display, screen), True, &count);
    const XRRMonitorInfo* const primary =
        std::find_if(monitors, monitors + count, [](const XRRMonitorInfo& m) { return m.primary; });
    if (count > 0) {
        const XRRMonitorInfo& m = primary != monitors + count ? *primary : monitors[0];
        area = sf::IntRect({m.x, m.y}, {m.width, m.height});
    }
    XRRFreeMonitors(monitors);
    return area;
}

// _NET_WM_ICON: for each size, its width, its height and its pixels as ARGB.
std::vector<long> IconProperty() {
    std::vector<long> data;
    for (const auto& [png, size] : k_windowIconFiles) {
        sf::Image image;
        if (!image.loadFromMemory(png, size)) {
            continue;
        }
        const sf::Vector2u extent = image.getSize();
        data.insert(data.end(), {static_cast<long>(extent.x), static_cast<long>(extent.y)});
        for (unsigned y = 0; y < extent.y; ++y) {
            for (unsigned x = 0; x < extent.x; ++x) {
                const sf::Color c = PixelAt(image, x, y);
                data.push_back(static_cast<long>(c.a) << 24 | c.r << 16 | c.g << 8 | c.b);
            }
        }
    }
    return data;
}

template <class Value>
void SetProperty(const char* name, Atom type, int format, const std::vector<Value>& values) {
    XChangeProperty(s_display, s_window, Intern(name), type, format, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

// Everything a window manager reads when the window is first mapped.
void Describe(const std::string& title, int x, int y, int width, int height) {
    XSizeHints size{};
    size.flags = PPosition | PSize | PMinSize | PMaxSize; // placed by the game, not the user
    size.x = x;
    size.y = y;
    size.width = size.min_width = size.max_width = width;
    size.height = size.min_height = size.max_height = height;
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    std::string name = "zorvane";
    std::string type = "Zorvane";
    XClassHint kind{name.data(), type.data()};
    XSetWMProperties(s_display, s_window, nullptr, nullptr, nullptr, 0, &size, &hints, &kind);
    XStoreName(s_display, s_window, title.c_str());
    SetProperty("_NET_WM_NAME", Intern("UTF8_STRING"), 8,
                std::vector<char>(title.begin(), title.end()));
    // A title bar with the close and minimise buttons, a window that can be moved but not resized.
    SetProperty("_MOTIF_WM_HINTS", Intern("_MOTIF_WM_HINTS"), 32,
                std::vector<long>{1 | 2, 4 | 8 | 32, 2 | 8 | 16 | 32, 0, 0});
    SetProperty("_NET_WM_PID", XA_CARDINAL, 32, std::vector<long>{getpid()});
    SetProperty("_NET_WM_ICON", XA_CARDINAL, 32, IconProperty());
    Atom protocols[] = {Intern("WM_DELETE_WINDOW"), Intern("_NET_WM_PING")};
    XSetWMProtocols(s_display, s_window, protocols, 2);
}

// What the game's own connection hears of its window. The server ends a pointer grab whose
// window stops being viewable (unmapped, or framed anew by a window manager that took over), so
// the grab is asked for again. Another client's grab shows in the mode of the focus and crossing
// events: it begins when the focus or the pointer leaves with NotifyGrab (or the focus comes
// back during it), and any other such event means that no grab of another keeps it.
void NoteWindowEvent(const XEvent& x) {
    switch (x.type) {
    case UnmapNotify:
        s_confined = false;
        break;
    case FocusIn:
    case FocusOut:
        s_keyboardTaken = x.xfocus.mode == (x.type == FocusOut ? NotifyGrab : NotifyWhileGrabbed);
        break;
    case EnterNotify:
    case LeaveNotify:
        s_pointerTaken = x.type == LeaveNotify && x.xcrossing.mode == NotifyGrab;
        break;
    default:
        break;
    }
}

} // namespace

void KeepStandardStreams() {
    for (const int fd : {0, 1, 2}) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY); // takes the lowest free number
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
}

std::string ConnectToDisplay() {
    const char* name = std::getenv("DISPLAY");
    const std::string advice = "; to play without a screen, run it under xvfb-run";
    if (name == nullptr || *name == '\0') {
        return "zorvane: there is no X display to open the window on (DISPLAY is not set)" + advice;
    }
    s_display = XOpenDisplay(nullptr);
    if (s_display == nullptr) {
        return "zorvane: cannot open the X display \"" + std::string(name) + "\"" + advice;
    }
    // From now on a lost server, or one that refuses the window, ends the game with one line.
    XSetIOErrorHandler(OnLostDisplay);
    XSetErrorHandler(OnRefusedRequest);
    int unused = 0;
    if (!XQueryExtension(s_display, "GLX", &unused, &unused, &unused)) {
        return "zorvane: the X display \"" + std::string(name) +
               "\" has no OpenGL (no GLX extension), which the game draws with" + advice;
    }
    int wanted[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    s_visual = glXChooseVisual(s_display, DefaultScreen(s_display), wanted);
    if (s_visual == nullptr) {
        return "zorvane: the X display \"" + std::string(name) +
               "\" has no 24-bit colour visual that OpenGL draws in, which the game needs" + advice;
    }
    return {};
}

void OpenGameWindow(sf::RenderWindow& window, unsigned width, unsigned height,
                    const std::string& title) {
    const sf::IntRect monitor = PrimaryMonitor();
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    // A monitor smaller than the window gets its top-left corner.
    const sf::Vector2i corner = CornerOf(monitor);
    const sf::Vector2i size = SizeOf(monitor);
    const int x = corner.x + std::max(0, (size.x - w) / 2);
    const int y = corner.y + std::max(0, (size.y - h) / 2);

    const ::Window root = RootWindow(s_display, DefaultScreen(s_display));
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(s_display, root, s_visual->visual, AllocNone);
    // White until the first frame: the picture a player sees first is never black.
    attributes.background_pixel = s_visual->red_mask | s_visual->green_mask | s_visual->blue_mask;
    s_window =
        XCreateWindow(s_display, root, x, y, width, height, 0, s_visual->depth, InputOutput,
                      s_visual->visual, CWBackPixel | CWBorderPixel | CWColormap, &attributes);
    Describe(title, x, y, w, h);
    XSelectInput(s_display, s_window,
                 StructureNotifyMask | FocusChangeMask | EnterWindowMask | LeaveWindowMask);
    XSync(s_display, False); // SFML's connection maps it next, which must find it whole
    window.create(s_window, sf::ContextSettings());
}

bool PollPlatformEvent(InputEvent& event) {
    while (s_display != nullptr && XPending(s_display) > 0) {
        XEvent x;
        XNextEvent(s_display, &x);
        NoteWindowEvent(x);
        if (x.type == ClientMessage && x.xclient.message_type == Intern("WM_PROTOCOLS")) {
            const Atom what = static_cast<Atom>(x.xclient.data.l[0]);
            if (what == Intern("WM_DELETE_WINDOW")) {
                event = {};
                event.type = InputEvent::Type::Closed;
                return true;
            }
            if (what == Intern("_NET_WM_PING")) { // still alive: the answer goes to the root
                x.xclient.window = DefaultRootWindow(s_display);
                XSendEvent(s_display, x.xclient.window, False,
                           SubstructureNotifyMask | SubstructureRedirectMask, &x);
            }
        } else if (x.type == ButtonPress && x.xbutton.button >= 4 && x.xbutton.button <= 5) {
            event = {};
            event.type = InputEvent::Type::Wheel;
            event.wheelNotches = x.xbutton.button == 4 ? 1.0f : -1.0f;
            return true;
        } else if (x.type == ButtonPress && x.xbutton.button <= 3) {
            constexpr sf::Mouse::Button buttons[] = {
                sf::Mouse::Button::Left, sf::Mouse::Button::Middle, sf::Mouse::Button::Right};
            event = {};
            event.type = InputEvent::Type::ButtonPressed;
            event.button = buttons[x.xbutton.button - 1];
            return true;
        }
    }
    return false;
}

bool HasKeyboardFocus(const sf::Window& window) {
    if (s_display == nullptr) {
        return window.hasFocus();
    }
    if (s_keyboardTaken) {
        return false;
    }
    const auto ours = static_cast<::Window>(NativeHandle(window));
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(s_display, &focus, &revert);
    if (focus != PointerRoot) {
        return focus == ours;
    }
    ::Window root = 0;
    ::Window top = 0; // the top-level window under the pointer
    int x = 0;
    int y = 0;
    unsigned buttons = 0;
    XQueryPointer(s_display, DefaultRootWindow(s_display), &root, &top, &x, &y, &x, &y, &buttons);
    return top == ours;
}

bool PointerTakenElsewhere() {
    return s_pointerTaken;
}

void ConfinePointer(sf::Window&, bool confine) {
    if (s_display == nullptr || confine == s_confined) {
        return;
    }
    if (!confine) {
        XUngrabPointer(s_display, CurrentTime);
        XFlush(s_display);
        s_confined = false;
        return;
    }
    // The grab sends every button and wheel event to this connection instead of SFML's, so
    // PollPlatformEvent hands them on. A grab refused now (another program holds one, the window
    // is not yet on the screen) is asked for again in the next frame.
    s_confined = XGrabPointer(s_display, s_window, False, ButtonPressMask, GrabModeAsync,
                              GrabModeAsync, s_window, None, CurrentTime) == GrabSuccess;
}
