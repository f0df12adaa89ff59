#include "app/EventPump.hpp"

#include "app/Globals.hpp"
#include "support/TestContent.hpp"

#include <SFML/Window/Event.hpp>

#include <gtest/gtest.h>

namespace {

sf::Event Wheel(int delta) {
    sf::Event event;
    event.type = sf::Event::MouseWheelMoved;
    event.mouseWheel.delta = delta;
    event.mouseWheel.x = 0;
    event.mouseWheel.y = 0;
    return event;
}

sf::Event OfType(sf::Event::EventType type) {
    sf::Event event;
    event.type = type;
    return event;
}

} // namespace

class EventPumpTest : public testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }
};

TEST_F(EventPumpTest, TheLastWheelDeltaOfAFrameWins) {
    ApplyEvent(Wheel(1));
    ApplyEvent(Wheel(-1));
    EXPECT_EQ(g_wheelDelta, -1);
    ApplyEvent(Wheel(3));
    EXPECT_EQ(g_wheelDelta, 3);
}

TEST_F(EventPumpTest, OnlyACloseRequestAsksToQuit) {
    for (auto type : {sf::Event::KeyPressed, sf::Event::KeyReleased, sf::Event::Resized,
                      sf::Event::MouseButtonPressed, sf::Event::TextEntered}) {
        ApplyEvent(OfType(type));
        EXPECT_FALSE(g_quit);
    }
    ApplyEvent(OfType(sf::Event::Closed));
    EXPECT_TRUE(g_quit);
    EXPECT_EQ(g_wheelDelta, 0);
}
