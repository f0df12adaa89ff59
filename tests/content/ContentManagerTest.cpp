#include "content/Files.hpp"
#include "support/Support.hpp"

#include <filesystem>
#include <fstream>

TEST(ContentManagerTest,
     TheFirstExtensionChoosesTheKindOnlyItsFormatAtAUsableSizeLoadsAndNamesStay) {
    std::filesystem::remove_all("cm");
    std::filesystem::create_directories("cm");
    sf::Image image;
    Resize(image, 4, 4);
    ASSERT_TRUE(image.saveToFile("cm/4.png"));
    ASSERT_TRUE(image.saveToFile("cm/4.jpg"));
    for (const auto& [from, to] : {std::pair("cm/4.png", "cm/a.png.bak"),
                                   {"cm/4.jpg", "cm/a.jpg.wav"},
                                   {"cm/4.png", "cm/b.bmp"},
                                   {"cm/4.jpg", "cm/jpeg.png"}})
        std::filesystem::copy_file(from, to);
    Resize(image, 8, 8);
    ASSERT_TRUE(image.saveToFile("cm/8.png"));
    Resize(image, 4097, 1); // wider than any texture the game draws
    ASSERT_TRUE(image.saveToFile("cm/wide.png"));
    std::ofstream("cm/bad.png") << "not a picture";
    std::ifstream four("cm/4.png", std::ios::binary), eight("cm/8.png", std::ios::binary);
    std::string head(33, '\0'); // signature and header: 4x4, before the 8x8 picture's pixels
    four.read(head.data(), 33);
    eight.seekg(33);
    std::ofstream("cm/more.png", std::ios::binary) << head << eight.rdbuf();
    testing::internal::CaptureStdout();
    for (const char* path : {"cm/a.png.bak", "cm/a.jpg.wav", "cm/b.bmp"})
        g_content.LoadFile(path, path);
    std::string said;
    for (const char* path :
         {"cm/gone.flac", "cm.ogg/b.bmp", "cm/jpeg.png", "cm/wide.png", "cm/more.png"}) {
        g_content.LoadFile(path, path);
        said += "Could not load file from: " + std::string(path) + "\n";
    }
    g_content.LoadFile("cm/a.png.bak", "cm/8.png");   // a taken name keeps its first texture
    g_content.LoadFile("cm/a.png.bak", "cm/bad.png"); // yet the file is read, and reported
    std::string stored;
    for (const auto& [name, texture] : TestPeer::Textures(g_content))
        stored += name + " " + std::to_string(texture.getSize().x) + " ";
    EXPECT_EQ(stored, "cm/a.jpg.wav 4 cm/a.png.bak 4 ");
    EXPECT_TRUE(g_content.GetTexture("cm/a.jpg.wav", true).isSmooth() && // the last lookup decides
                !g_content.GetTexture("cm/a.jpg.wav", false).isSmooth());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              said + "Could not load file from: cm/bad.png\n");
    EXPECT_TRUE(g_quit);
}

TEST(ContentManagerTest, AFontCutShortUnderTheGameDrawsFromWhatWasRead) {
    std::filesystem::copy_file("Content/digitalfont.ttf", "cut.ttf",
                               std::filesystem::copy_options::overwrite_existing);
    sf::Font font;
    ASSERT_TRUE(LoadFont(font, "cut.ttf"));
    std::filesystem::resize_file("cut.ttf", 0);
    EXPECT_GT(SizeOf(font.getGlyph(U'7', 90, true).bounds).x, 0); // a glyph not read before
}
