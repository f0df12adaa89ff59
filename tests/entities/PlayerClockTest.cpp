#include "support/Support.hpp"

// A face 90 high rests at 535: it sinks 250 px/s until its bottom edge is on the window's, then
// climbs 125 px/s to where the run's first recoil began, as a later clock's recoil still does.
TEST(PlayerClockTest, ARecoilSinksToTheBottomClimbsBackAndItsMemoryOutlivesTheClock) {
    ContentManager content;
    (void)Resize(TestPeer::Textures(content)["Clock hand"], 3, 40);
    (void)Resize(TestPeer::Textures(content)["Player clock"], 90, 90);
    PlayerClock clock, next;
    clock.Init(content);
    std::vector<int> heights;
    while (!clock.Recoil(1.0 / 60) && heights.size() < 99)
        heights.push_back(TestPeer::StandsAt(clock));
    EXPECT_EQ(heights, std::vector<int>({539, 543, 547, 551, 555, 552, 549, 546, 543, 540, 537}));
    EXPECT_EQ(std::pair(TestPeer::StandsAt(clock), clock.Body().getPosition().y),
              std::pair(534, 535.0f));
    EXPECT_FALSE(clock.Recoil(1.0) || clock.Recoil(1.0)); // 784, then 659: lost meanwhile
    EXPECT_EQ(TestPeer::StandsAt(clock), 659);
    (void)Resize(TestPeer::Textures(content)["Player clock"], 90, 100);
    next.Init(content); // stands at 525, a climb short of the rest height
    EXPECT_TRUE(next.Recoil(1.0 / 60));
    EXPECT_EQ(std::pair(TestPeer::StandsAt(next), next.Body().getPosition().y),
              std::pair(522, 535.0f));
}
