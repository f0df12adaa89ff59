#pragma once

#include <SFML/Config.hpp>
#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>
#include <SFML/Window/VideoMode.hpp>
#include <SFML/Window/WindowHandle.hpp>
#if SFML_VERSION_MAJOR >= 3
#include <SFML/System/Angle.hpp>
#endif

#include <cstddef>

namespace sf {
class Font;
class Image;
class Window;
} // namespace sf

// Where SFML 2.5, 2.6 and 3 part ways, the game goes through these; everything else it uses is
// common to all three.

// A window event as the game settles it, whichever SFML reported it.
struct InputEvent {
    enum class Type { Other, Closed, Wheel, KeyPressed, ButtonPressed };
    Type type = Type::Other;
    // Notches of the vertical wheel, up positive: smooth wheels and touchpads send fractions.
    float wheelNotches = 0.0f;
    sf::Keyboard::Key key = sf::Keyboard::Key::Unknown;
    sf::Mouse::Button button = sf::Mouse::Button::Left;
};

// Takes the next event from the window's queue; false when none waits.
bool NextWindowEvent(sf::Window& window, InputEvent& event);

#if SFML_VERSION_MAJOR >= 3
inline constexpr sf::Keyboard::Key k_enterKey = sf::Keyboard::Key::Enter;
inline sf::Angle Degrees(float degrees) {
    return sf::degrees(degrees);
}
template <class T> sf::Vector2<T> CornerOf(const sf::Rect<T>& rect) {
    return rect.position;
}
template <class T> sf::Vector2<T> SizeOf(const sf::Rect<T>& rect) {
    return rect.size;
}
// Sizes an image, a texture or a render texture anew, dropping what it held.
template <class Surface> auto Resize(Surface& surface, unsigned width, unsigned height) {
    return surface.resize({width, height});
}
#else
inline constexpr sf::Keyboard::Key k_enterKey = sf::Keyboard::Return;
inline float Degrees(float degrees) {
    return degrees;
}
template <class T> sf::Vector2<T> CornerOf(const sf::Rect<T>& rect) {
    return {rect.left, rect.top};
}
template <class T> sf::Vector2<T> SizeOf(const sf::Rect<T>& rect) {
    return {rect.width, rect.height};
}
template <class Surface> auto Resize(Surface& surface, unsigned width, unsigned height) {
    return surface.create(width, height);
}
#endif

// SFML 3 has no sprite or text without a texture or font: these stand in until one is given.
sf::Sprite EmptySprite();
sf::Text EmptyText();
// Sets the text's string, if its font opened: SFML 3 ends the program when it lays out a text in
// a font that did not (a failed font ends the game after its frame anyway).
void SetString(sf::Text& text, const sf::String& string);

sf::VideoMode WindowMode(unsigned width, unsigned height);
sf::WindowHandle NativeHandle(const sf::Window& window);
bool OpenFont(sf::Font& font, const void* data, std::size_t size);
sf::Color PixelAt(const sf::Image& image, unsigned x, unsigned y);
void SetPixelAt(sf::Image& image, unsigned x, unsigned y, sf::Color colour);
