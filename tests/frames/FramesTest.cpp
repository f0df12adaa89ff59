#include "support/Support.hpp"

#include <algorithm>
#include <cstdlib>
#include <deque>

struct FramesTest : SceneTest {
    // Each bill's seed, found with this system's generator (systems differ), is set before every
    // frame: only a spawn draws.
    void StartGame(std::initializer_list<std::tuple<int, int, int>> bills) {
        for (const auto& [hour, minute, x] : bills) {
            unsigned seed = 0;
            do
                std::srand(++seed);
            while (std::rand() % 24 != hour || std::rand() % 4 * 15 != minute ||
                   std::rand() % 600 + 100 != x);
            seeds.push_back(seed);
        }
        std::srand(seeds.front());
        seeds.pop_front();
        Start<MainGameScene>();
    }
    // Frames of 20 ms: seconds, a wheel turn before them, the pointer's x, what is held.
    struct Stretch {
        float seconds;
        int wheel, x;
        std::set<Button> buttons;
        std::set<Key> keys = {};
    };
    void Play(std::initializer_list<Stretch> stretches) {
        for (const Stretch& s : stretches) {
            g_desk = {g_desk.now, s.keys, s.buttons, {s.x, 0}};
            g_wheelDelta = s.wheel;
            for (const sf::Time end = g_desk.now + sf::seconds(s.seconds); g_desk.now < end;) {
                std::srand(seeds.front());
                Frame(sf::milliseconds(20));
                if (seeds.size() > 1 && TestPeer::SpawnClock(Game()).Elapsed() == sf::Time::Zero)
                    seeds.pop_front();
            }
        }
    }
    // What Draw presents against its picture in tests/frames/. Renderers differ a little at glyph
    // edges: a pixel counts past 3 in a channel, and the frame differs with more than 2000 such
    // pixels (a panel's shade) or past 6000 summed in one of the 25x25 squares (a word moved).
    testing::AssertionResult Shows(const std::string& name) {
        g_currentScene->Draw(window);
        sf::Texture shown;
        Resize(shown, 800, 600);
        shown.update(window); // after display, the back buffer still holds the frame
        sf::Image actual = shown.copyToImage(), expected, diff = actual;
        const std::string path = ZORVANE_FRAMES + name + ".png";
        if (std::getenv("ZORVANE_REWRITE_FRAMES") && !actual.saveToFile(path))
            return testing::AssertionFailure() << "cannot write " << path;
        if (!expected.loadFromFile(path))
            return testing::AssertionFailure() << "no reference frame " << path;
        int count = 0, squares[24][32] = {};
        for (unsigned y = 0; y < 600; ++y)
            for (unsigned x = 0; x < 800; ++x) {
                const sf::Color a = PixelAt(actual, x, y), e = PixelAt(expected, x, y);
                const int d =
                    std::max({std::abs(a.r - e.r), std::abs(a.g - e.g), std::abs(a.b - e.b)});
                if (d > 3) {
                    count++;
                    squares[y / 25][x / 25] += d;
                    SetPixelAt(diff, x, y, sf::Color::Red);
                }
            }
        const int worst = *std::max_element(&squares[0][0], &squares[0][0] + 24 * 32);
        if (count <= 2000 && worst <= 6000)
            return testing::AssertionSuccess();
        EXPECT_TRUE(actual.saveToFile(name + ".actual.png") && diff.saveToFile(name + ".diff.png"));
        return testing::AssertionFailure()
               << name << ": " << count << " pixels differ (" << worst << " in a square); see "
               << name << ".actual.png and, in red, " << name << ".diff.png";
    }
    std::deque<unsigned> seeds;
};

// Over the bill, right and bottom edges included, it and PLAY turn translucent; only the left
// button starts a game there, and keys do nothing.
TEST_F(FramesTest, TheMenuWithPlayLit) {
    MenuScene& menu = Start<MenuScene>();
    const sf::FloatRect bounds = TestPeer::LargeBill(menu).getGlobalBounds();
    const sf::Vector2i corner(CornerOf(bounds)), end(CornerOf(bounds) + SizeOf(bounds));
    const int left = corner.x, top = corner.y, right = end.x, bottom = end.y;
    const std::tuple<int, int, Button, int> points[] = {{left, 300, Left, 255},
                                                        {right, 300, Right, 200},
                                                        {400, top, Left, 255},
                                                        {400, bottom, Middle, 200}};
    for (const auto& [x, y, button, alpha] : points) {
        g_desk = {{}, {Key::Escape, k_enterKey}, {button}, {x, y}};
        Frame(sf::Time::Zero);
        ASSERT_EQ(g_currentScene.get(), &menu) << x << "," << y;
        EXPECT_EQ(TestPeer::LargeBill(menu).getColor().a, alpha);
        EXPECT_EQ(TestPeer::PlayText(menu).getFillColor().a, alpha);
    }
    EXPECT_TRUE(Shows("menu"));
}

// The wheel turned while the menu showed, past twelve: 0:45, not 7:45, on a bill of 12:45; then
// 8:00 on one of 8:00 from the right margin.
TEST_F(FramesTest, AHitAboutToHappen) {
    StartGame({{12, 45, 330}, {8, 0, 650}});
    Play({{0.6f, 31, 330, {Left}}, {2, 0, 330, {}}});
    Play({{3, 29, 900, {Middle}}, {1.22f, 0, 900, {Left}}});
    EXPECT_TRUE(Shows("play"));
}

// The tenth point on 11:45, turned back past twelve from 0:15; then two clocks bounce off 21:30,
// the side drawn with each bounce.
TEST_F(FramesTest, TheFieldAtThePaceOfTheTenthPoint) {
    StartGame({{11, 45, 620}, {10, 0, 250}, {21, 30, 450}, {4, 45, 330}, {13, 30, 600}});
    TestPeer::Score(Game()) = 9; // as after nine points
    Play({{0.02f, 1, 620, {}}, {0.58f, -6, 620, {Left}}, {8.3f, 0, 540, {}}});
    Play({{0.1f, 0, 540, {Left}}, {0.42f, 0, 540, {}}, {0.1f, 0, 540, {Left}}, {1.1f, 0, 540, {}}});
    EXPECT_TRUE(Shows("pace"));
}

TEST_F(FramesTest, GameOverWithLivesBelowZeroThenReturnOrEscape) {
    StartGame({{13, 0, 560}, {14, 0, 250}, {22, 45, 420}, {6, 30, 650}});
    TestPeer::Score(Game()) = 26; // as after a while; Return does nothing in play
    TestPeer::Lives(Game()) = 1;
    Play({{11, -5, 500, {}, {k_enterKey}}, {0.1f, 0, 500, {Left}}, {1.08f, 0, 500, {}}});
    std::vector<FallingBill>& bills = TestPeer::Bills(Game());
    bills.insert(bills.end(), 2, BillAt(300, 699, 1)); // out in the next frame; at 655 the top
    bills.push_back(BillAt(300, 654, 1));              // edge is on the bottom edge: still in
    Play({{0.02f, 0, 500, {Right}, {k_enterKey}}});
    // The frame that lost still hit 22:45; then all stands still.
    Play({{1, 3, 600, {Left}}});
    EXPECT_TRUE(Shows("gameover"));
    g_desk.keys = {Key::Escape, k_enterKey}; // Escape comes first
    Frame(sf::Time::Zero);
    EXPECT_NE(dynamic_cast<MenuScene*>(g_currentScene.get()), nullptr);
}
