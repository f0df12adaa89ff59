#include "app/SfmlAdapter.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#if SFML_VERSION_MAJOR >= 3

bool NextWindowEvent(sf::Window& window, InputEvent& event) {
    const std::optional<sf::Event> next = window.pollEvent();
    if (!next) {
        return false;
    }
    event = {};
    if (next->is<sf::Event::Closed>()) {
        event.type = InputEvent::Type::Closed;
    } else if (const auto* wheel = next->getIf<sf::Event::MouseWheelScrolled>()) {
        if (wheel->wheel == sf::Mouse::Wheel::Vertical) {
            event.type = InputEvent::Type::Wheel;
            event.wheelNotches = wheel->delta;
        }
    } else if (const auto* key = next->getIf<sf::Event::KeyPressed>()) {
        event.type = InputEvent::Type::KeyPressed;
        event.key = key->code;
    } else if (const auto* button = next->getIf<sf::Event::MouseButtonPressed>()) {
        event.type = InputEvent::Type::ButtonPressed;
        event.button = button->button;
    }
    return true;
}

sf::Sprite EmptySprite() {
    static const sf::Texture s_none;
    return sf::Sprite(s_none);
}

sf::Text EmptyText() {
    static const sf::Font s_none;
    return sf::Text(s_none);
}

void SetString(sf::Text& text, const sf::String& string) {
    if (!text.getFont().getInfo().family.empty()) {
        text.setString(string);
    }
}

sf::VideoMode WindowMode(unsigned width, unsigned height) {
    return sf::VideoMode({width, height});
}

sf::WindowHandle NativeHandle(const sf::Window& window) {
    return window.getNativeHandle();
}

bool OpenFont(sf::Font& font, const void* data, std::size_t size) {
    return font.openFromMemory(data, size);
}

sf::Color PixelAt(const sf::Image& image, unsigned x, unsigned y) {
    return image.getPixel({x, y});
}

void SetPixelAt(sf::Image& image, unsigned x, unsigned y, sf::Color colour) {
    image.setPixel({x, y}, colour);
}

#else

bool NextWindowEvent(sf::Window& window, InputEvent& event) {
    sf::Event next;
    if (!window.pollEvent(next)) {
        return false;
    }
    event = {};
    switch (next.type) {
    case sf::Event::Closed:
        event.type = InputEvent::Type::Closed;
        break;
    case sf::Event::MouseWheelScrolled: // the older MouseWheelMoved repeats it in whole notches
        if (next.mouseWheelScroll.wheel == sf::Mouse::VerticalWheel) {
            event.type = InputEvent::Type::Wheel;
            event.wheelNotches = next.mouseWheelScroll.delta;
        }
        break;
    case sf::Event::KeyPressed:
        event.type = InputEvent::Type::KeyPressed;
        event.key = next.key.code;
        break;
    case sf::Event::MouseButtonPressed:
        event.type = InputEvent::Type::ButtonPressed;
        event.button = next.mouseButton.button;
        break;
    default:
        break;
    }
    return true;
}

sf::Sprite EmptySprite() {
    return {};
}

sf::Text EmptyText() {
    return {};
}

void SetString(sf::Text& text, const sf::String& string) {
    text.setString(string);
}

sf::VideoMode WindowMode(unsigned width, unsigned height) {
    return sf::VideoMode(width, height);
}

sf::WindowHandle NativeHandle(const sf::Window& window) {
    return window.getSystemHandle();
}

bool OpenFont(sf::Font& font, const void* data, std::size_t size) {
    return font.loadFromMemory(data, size);
}

sf::Color PixelAt(const sf::Image& image, unsigned x, unsigned y) {
    return image.getPixel(x, y);
}

void SetPixelAt(sf::Image& image, unsigned x, unsigned y, sf::Color colour) {
    image.setPixel(x, y, colour);
}

#endif
