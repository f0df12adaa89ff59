#include "support/Support.hpp"

#include <fstream>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(ContentManagerTest, TheFirstExtensionTextInThePathChoosesTheKindAndOnlyFilesAreOpened) {
    TempFolder folder;
    sf::Image image;
    image.create(4, 2);
    image.saveToFile("picture.png");
    for (const char* name : {"a.png.bak", "a.jpg.wav", "x.PNG", "b.bmp"}) {
        std::filesystem::copy_file("picture.png", name);
    }
    std::filesystem::create_directory("d.png");
#ifndef _WIN32
    mkfifo("fifo.png", 0600); // opening it would wait for a writer for ever
#endif
    const std::tuple<const char*, bool, bool> cases[] = {
        {"a.png.bak", true, false},      {"a.jpg.wav", true, false}, {"x.PNG", false, false},
        {"b.bmp", false, false},         {"none", false, false},     {"gone.png", false, true},
        {"gone.jpg", false, true},       {"gone.wav", false, true},  {"gone.ogg", false, true},
        {"gone.flac", false, true},      {"d.png", false, true},     {"fifo.png", false, true},
        {"music.ogg/b.bmp", false, true}};
    for (const auto& [path, stored, fails] : cases) {
        ResetGlobals();
        ContentManager content;
        CaptureStdout();
        content.LoadFile(path, path);
        EXPECT_EQ(GetCapturedStdout(),
                  fails ? "Could not load file from: " + std::string(path) + "\n" : "");
        EXPECT_EQ(std::pair(g_quit, (content.*P::textures).count(path)),
                  std::pair(fails, size_t(stored)))
            << path;
    }
}

TEST(ContentManagerTest, ATakenNameKeepsItsTextureLookupsSetSmoothingAndMissNamesAloud) {
    ResetGlobals();
    TempFolder folder;
    sf::Image image;
    for (const auto& [name, size] : {std::pair("first.png", 4u), {"second.png", 8u}}) {
        image.create(size, size);
        image.saveToFile(name);
    }
    std::ofstream("bad.png") << "not a picture";
    ContentManager content;
    content.LoadFile("Bill", "first.png");
    sf::Texture& bill = content.GetTexture("Bill", true);
    EXPECT_TRUE(bill.isSmooth());
    CaptureStdout();
    content.LoadFile("Bill", "second.png");
    content.LoadFile("Bill", "bad.png"); // still read, so still reported
    EXPECT_EQ(&content.GetTexture("Bill", false), &bill);
    EXPECT_EQ(std::pair(bill.getSize(), bill.isSmooth()), std::pair(sf::Vector2u(4, 4), false));
    content.UnloadAll();
    const sf::Texture& standIn = content.GetTexture("Bill", true);
    content.UnloadAll();
    EXPECT_EQ(&content.GetTexture("Else", false), &standIn); // lives as long as the manager
    EXPECT_EQ(GetCapturedStdout(), "Could not load file from: bad.png\nCould not load image: Bill\n"
                                   "Could not load image: Else\n");
    EXPECT_TRUE(g_quit);
}
