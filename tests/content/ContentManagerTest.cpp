#include "content/Files.hpp"
#include "support/Support.hpp"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(ContentManagerTest, TheFirstExtensionTextInThePathChoosesTheKindAndOnlyFilesAreOpened) {
    ContentCopy dir;
    for (const char* name : {"a.png.bak", "a.jpg.wav", "x.PNG", "b.bmp"}) {
        WritePng(name, 4, 2);
    }
    std::filesystem::create_directory("d.png");
#ifndef _WIN32
    mkfifo("fifo.png", 0600); // opening it would wait for a writer for ever
#endif
    const std::pair<const char*, bool> cases[] = {
        {"a.png.bak", false},     {"a.jpg.wav", false}, {"x.PNG", false},   {"b.bmp", false},
        {"none", false},          {"gone.png", true},   {"gone.jpg", true}, {"gone.wav", true},
        {"gone.ogg", true},       {"gone.flac", true},  {"d.png", true},    {"fifo.png", true},
        {"music.ogg/b.bmp", true}};
    for (const auto& [path, fails] : cases) {
        ResetGlobals();
        ContentManager content;
        CaptureStdout();
        content.LoadFile(path, path);
        EXPECT_EQ(GetCapturedStdout(),
                  fails ? "Could not load file from: " + std::string(path) + "\n" : "");
        EXPECT_EQ(g_quit, fails) << path;
        const bool texture = path == std::string("a.png.bak") || path == std::string("a.jpg.wav");
        EXPECT_EQ((content.*P::textures).count(path), texture ? 1u : 0u) << path;
    }
    sf::Font font;
    EXPECT_FALSE(LoadFont(font, "fifo.png") || LoadFont(font, "d.png"));
}

TEST(ContentManagerTest, ATakenNameKeepsItsTextureLookupsSetSmoothingAndMissNamesAloud) {
    ResetGlobals();
    ContentCopy dir;
    ContentManager content;
    content.LoadFile("Bill", WritePng("first.png", 4, 4));
    sf::Texture& bill = content.GetTexture("Bill", true);
    EXPECT_TRUE(bill.isSmooth());
    CaptureStdout();
    content.LoadFile("Bill", WritePng("second.png", 8, 8));
    content.LoadFile("Bill", "gone.png"); // still read, so still reported
    EXPECT_EQ(&content.GetTexture("Bill", false), &bill);
    EXPECT_EQ(std::pair(bill.getSize(), bill.isSmooth()), std::pair(sf::Vector2u(4, 4), false));
    content.UnloadAll();
    const sf::Texture& standIn = content.GetTexture("Bill", true);
    content.UnloadAll();
    EXPECT_EQ(&content.GetTexture("Else", false), &standIn); // lives as long as the manager
    EXPECT_EQ(GetCapturedStdout(), "Could not load file from: gone.png\n"
                                   "Could not load image: Bill\nCould not load image: Else\n");
    EXPECT_TRUE(g_quit);
}
