#include "content/ContentManager.hpp"

#include "app/Globals.hpp"
#include "support/TestContent.hpp"

#include <filesystem>
#include <gtest/gtest.h>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

class ContentManagerTest : public testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }

    TempDir dir;
    ContentManager content;
};

TEST_F(ContentManagerTest, KindComesFromTheFirstExtensionTextAnywhereInThePath) {
    const std::string backup = WritePng(dir.File("a.png.bak"), 4, 2);
    const std::string both = WritePng(dir.File("a.jpg.wav"), 3, 3);
    const std::string capitals = WritePng(dir.File("x.PNG"), 5, 5);
    const std::string bmp = WritePng(dir.File("picture.bmp"), 5, 5);

    CaptureStdout();
    content.LoadFile("backup", backup);
    content.LoadFile("both", both);
    content.LoadFile("capitals", capitals);
    content.LoadFile("bmp", bmp);
    content.LoadFile("font", dir.File("LiberationMono-Bold.ttf"));
    content.LoadFile("bare", dir.File("noextension"));
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_FALSE(g_quit);

    EXPECT_TRUE(content.HasTexture("backup"));
    EXPECT_EQ(content.GetTexture("backup", false).getSize(), sf::Vector2u(4, 2));
    // Image endings are searched before sound endings.
    EXPECT_TRUE(content.HasTexture("both"));
    EXPECT_FALSE(content.HasSoundBuffer("both"));
    // The search is case-sensitive, and unknown endings are passed over without a word.
    EXPECT_EQ(content.TextureCount(), 2u);
    EXPECT_EQ(content.SoundBufferCount(), 0u);
}

TEST_F(ContentManagerTest, ASoundEndingInAFolderNameMakesItASoundLoadThatFails) {
    const std::string path = dir.File("music.ogg/picture.bmp");
    CaptureStdout();
    content.LoadFile("music", path);
    EXPECT_EQ(GetCapturedStdout(), "Could not load file from: " + path + "\n");
    EXPECT_TRUE(g_quit);
    EXPECT_FALSE(content.HasSoundBuffer("music"));
    EXPECT_FALSE(content.HasTexture("music"));
}

TEST_F(ContentManagerTest, CapitalExtensionIsOnlyReportedWhenLookedUp) {
    content.LoadFile("X", WritePng(dir.File("x.PNG"), 2, 2));
    CaptureStdout();
    sf::Texture& stand_in = content.GetTexture("X", true);
    EXPECT_EQ(GetCapturedStdout(), "Could not load image: X\n");
    EXPECT_TRUE(g_quit);
    EXPECT_EQ(stand_in.getSize(), sf::Vector2u(0, 0));
}

TEST_F(ContentManagerTest, UnreadableFilesAreReportedWithTheirPathAndNothingIsStored) {
    const std::string missing = dir.File("missing.png");
    const std::string empty = dir.File("empty.png");
    const std::string text = dir.File("text.png");
    const std::string folder = dir.File("folder.png");
    WriteText(empty, "");
    WriteText(text, "this is not a picture\n");
    std::filesystem::create_directory(folder);

    CaptureStdout();
    content.LoadFile("a", missing);
    content.LoadFile("b", empty);
    content.LoadFile("c", text);
    content.LoadFile("d", folder);
    EXPECT_EQ(GetCapturedStdout(), "Could not load file from: " + missing + "\n" +
                                       "Could not load file from: " + empty + "\n" +
                                       "Could not load file from: " + text + "\n" +
                                       "Could not load file from: " + folder + "\n");
    EXPECT_TRUE(g_quit);
    EXPECT_EQ(content.TextureCount(), 0u);
}

TEST_F(ContentManagerTest, ADuplicateNameKeepsTheFirstTextureButStillReadsTheFile) {
    content.LoadFile("Bill", WritePng(dir.File("first.png"), 4, 4));
    const sf::Texture* first = &content.GetTexture("Bill", false);

    content.LoadFile("Bill", WritePng(dir.File("second.png"), 8, 8));
    EXPECT_EQ(&content.GetTexture("Bill", false), first);
    EXPECT_EQ(first->getSize(), sf::Vector2u(4, 4));
    EXPECT_FALSE(g_quit);

    // The second file is read even though its name is taken, so its failure still shows.
    CaptureStdout();
    content.LoadFile("Bill", dir.File("gone.png"));
    EXPECT_EQ(GetCapturedStdout(), "Could not load file from: " + dir.File("gone.png") + "\n");
    EXPECT_EQ(content.GetTexture("Bill", false).getSize(), sf::Vector2u(4, 4));
}

TEST_F(ContentManagerTest, SmoothingFollowsTheLastLookup) {
    content.LoadFile("Player clock", WritePng(dir.File("clock.png"), 4, 4));
    sf::Texture& texture = content.GetTexture("Player clock", true);
    EXPECT_TRUE(texture.isSmooth());
    content.GetTexture("Player clock", false);
    EXPECT_FALSE(texture.isSmooth());
    content.GetTexture("Player clock", true);
    EXPECT_TRUE(texture.isSmooth());
}

TEST_F(ContentManagerTest, AfterUnloadAllEveryNameIsMissing) {
    content.LoadFile("Bill", WritePng(dir.File("bill.png"), 4, 4));
    content.LoadFile("Large bill", WritePng(dir.File("large.png"), 4, 4));
    content.UnloadAll();
    EXPECT_EQ(content.TextureCount(), 0u);
    CaptureStdout();
    content.GetTexture("Bill", false);
    content.GetTexture("Large bill", false);
    EXPECT_EQ(GetCapturedStdout(),
              "Could not load image: Bill\nCould not load image: Large bill\n");
    EXPECT_TRUE(g_quit);
}

TEST_F(ContentManagerTest, TheStandInForAMissingNameOutlivesUnloadAll) {
    CaptureStdout();
    sf::Texture& first = content.GetTexture("nothing", false);
    content.UnloadAll();
    sf::Texture& second = content.GetTexture("else", true);
    GetCapturedStdout();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.getSize(), sf::Vector2u(0, 0));
    EXPECT_FALSE(first.isSmooth());
}
