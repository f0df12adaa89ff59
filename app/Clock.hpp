#pragma once

#include <SFML/System/Time.hpp>

// A stopwatch on the game's time. The game's time follows the real time, except that one step
// of it never replays more than a few frames' worth: after the process was stopped, the machine
// suspended or the window held still by a drag, play goes on where it was instead of catching up
// on the whole gap at once (bills leaping past the player, lives lost to bills never seen, the
// clock's recoil flung out of the window).
class Clock {
public:
    // The longest step of game time between two readings of it.
    static constexpr float k_longestStepSeconds = 0.1f;

    Clock();
    sf::Time Elapsed() const;
    // Starts again from zero; returns the time it had run.
    sf::Time Restart();

private:
    sf::Time m_start;
};
