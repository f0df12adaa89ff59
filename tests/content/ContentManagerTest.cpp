#include "support/Support.hpp"

#include <filesystem>
#include <fstream>

TEST(ContentManagerTest, TheFirstExtensionInThePathChoosesTheKindAndANamesFirstTextureStays) {
    std::filesystem::remove_all("cm");
    std::filesystem::create_directories("cm");
    sf::Image image;
    Resize(image, 4, 4);
    ASSERT_TRUE(image.saveToFile("cm/4.png"));
    for (const char* name : {"cm/a.png.bak", "cm/a.jpg.wav", "cm/b.bmp"})
        std::filesystem::copy_file("cm/4.png", name);
    Resize(image, 8, 8);
    ASSERT_TRUE(image.saveToFile("cm/8.png"));
    std::ofstream("cm/bad.png") << "not a picture";
    testing::internal::CaptureStdout();
    for (const char* path :
         {"cm/a.png.bak", "cm/a.jpg.wav", "cm/b.bmp", "cm/gone.flac", "cm.ogg/b.bmp"})
        g_content.LoadFile(path, path);
    g_content.LoadFile("cm/a.png.bak", "cm/8.png");   // a taken name keeps its first texture
    g_content.LoadFile("cm/a.png.bak", "cm/bad.png"); // yet the file is read, and reported
    std::string stored;
    for (const auto& [name, texture] : g_content.*P::textures)
        stored += name + " " + std::to_string(texture.getSize().x) + " ";
    EXPECT_EQ(stored, "cm/a.jpg.wav 4 cm/a.png.bak 4 ");
    EXPECT_TRUE(g_content.GetTexture("cm/a.jpg.wav", true).isSmooth() && // the last lookup decides
                !g_content.GetTexture("cm/a.jpg.wav", false).isSmooth());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Could not load file from: cm/gone.flac\nCould not load file from: cm.ogg/b.bmp\n"
              "Could not load file from: cm/bad.png\n");
    EXPECT_TRUE(g_quit);
}
