#include "app/Platform.hpp"
#include "app/SfmlAdapter.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include <utility>
#include <windows.h>

void KeepStandardStreams() {}

std::string ConnectToDisplay() {
    return {};
}

void OpenGameWindow(sf::RenderWindow& window, unsigned width, unsigned height,
                    const std::string& title) {
    // SFML centres a new window on the primary monitor here.
    window.create(WindowMode(width, height), title, sf::Style::Close);
    // The program's own icon (its first icon resource) in the title bar and the task bar.
    const HWND handle = NativeHandle(window);
    for (const auto& [which, metric] :
         {std::pair(ICON_BIG, SM_CXICON), {ICON_SMALL, SM_CXSMICON}}) {
        const int size = GetSystemMetrics(metric);
        const HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                       size, size, LR_DEFAULTCOLOR);
        SendMessageW(handle, WM_SETICON, static_cast<WPARAM>(which),
                     reinterpret_cast<LPARAM>(icon));
    }
    // White at once rather than black while the menu loads.
    window.clear(sf::Color::White);
    window.display();
}

bool PollPlatformEvent(InputEvent&) {
    return false; // everything comes through the window's own queue
}

bool HasKeyboardFocus(const sf::Window& window) {
    return window.hasFocus();
}

bool PointerTakenElsewhere() {
    return false; // Windows sends a grabbing program's clicks to it alone
}

void ConfinePointer(sf::Window& window, bool confine) {
    static bool s_confined = false;
    if (confine != s_confined) {
        window.setMouseCursorGrabbed(confine);
        s_confined = confine;
    }
}
