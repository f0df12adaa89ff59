#include "support/Support.hpp"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

TEST(ContentManagerTest, TheFirstExtensionInThePathChoosesTheKindAndANamesFirstTextureStays) {
    std::filesystem::remove_all("cm");
    std::filesystem::create_directories("cm/d.png");
    sf::Image image;
    image.create(4, 4);
    image.saveToFile("cm/4.png");
    for (const char* name : {"cm/a.png.bak", "cm/a.jpg.wav", "cm/b.bmp"})
        std::filesystem::copy_file("cm/4.png", name);
    std::ofstream("cm/bad.png") << "not a picture";
#ifndef _WIN32
    mkfifo("cm/fifo.png", 0600); // opening it would wait for a writer for ever
#endif
    testing::internal::CaptureStdout();
    for (const char* path : {"cm/a.png.bak", "cm/a.jpg.wav", "cm/b.bmp", "cm/gone.flac", "cm/d.png",
                             "cm/fifo.png", "cm.ogg/b.bmp"})
        g_content.LoadFile(path, path);
    g_content.LoadFile("cm/a.png.bak", "cm/bad.png"); // a taken name: still read and reported
    std::string stored;
    for (const auto& [name, texture] : g_content.*P::textures)
        stored += name + " " + std::to_string(texture.getSize().x) + " ";
    EXPECT_EQ(stored, "cm/a.jpg.wav 4 cm/a.png.bak 4 ");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Could not load file from: cm/gone.flac\nCould not load file from: cm/d.png\n"
              "Could not load file from: cm/fifo.png\nCould not load file from: cm.ogg/b.bmp\n"
              "Could not load file from: cm/bad.png\n");
    EXPECT_TRUE(g_quit);
}
