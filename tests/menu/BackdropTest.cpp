#include "menu/ComposedBackdrop.hpp"
#include "support/Support.hpp"

#include <gtest/gtest.h>

TEST(BackdropTest, TilesCoverTheWindowRowByRowAtAlpha100BehindTilesAlreadyThere) {
    const std::tuple<int, int, std::size_t, int, sf::Vector2f> cases[] = {
        {100, 60, 80, 8, {0, 60}},     {100, 60, 80, 79, {700, 540}}, {120, 70, 63, 7, {0, 70}},
        {120, 70, 63, 62, {720, 560}}, {800, 60, 10, 1, {0, 60}},     {1000, 60, 10, 9, {0, 540}},
        {100, 600, 8, 7, {700, 0}},    {400, 599, 4, 2, {0, 599}},    {1, 600, 800, 799, {799, 0}},
        {0, 60, 1, 0, {0, 0}},         {100, 0, 1, 0, {0, 0}}};
    for (const auto& [w, h, count, index, at] : cases) {
        sf::Sprite source = Centred(w, h, 5, 6);
        source.setColor({10, 20, 30, 40});
        TiledBackdrop tiles(1);
        BuildBackdrop(tiles, source);
        ASSERT_EQ(tiles.size(), count + 1) << w << "x" << h;
        EXPECT_EQ(tiles[index + 1].getPosition(), at) << w << "x" << h;
        EXPECT_EQ(std::pair(tiles.back().getColor(), tiles.back().getOrigin()),
                  std::pair(sf::Color(10, 20, 30, 100), source.getOrigin()));
    }
}

TEST(BackdropTest, TheComposedPictureShowsExactlyWhatTheTilesDrawnOneByOneShow) {
    sf::RenderWindow window(sf::VideoMode(800, 600), "backdrop", sf::Style::None);
    sf::Image shipped;
    ASSERT_TRUE(shipped.loadFromFile("Content/moneybill.png"));
    for (const sf::Vector2u size : {shipped.getSize(), {1, 1}, {800, 600}, {37, 23}, {161, 599}}) {
        sf::Image image = shipped;
        if (size != shipped.getSize()) { // colours of all kinds, partly transparent
            image.create(size.x, size.y);
            for (unsigned i = 0; i < size.x * size.y; ++i) {
                image.setPixel(i % size.x, i / size.x, sf::Color(i * 37, i * 59, i * 13, i * 7));
            }
        }
        sf::Texture texture;
        texture.loadFromImage(image);
        TiledBackdrop tiles;
        BuildBackdrop(tiles, sf::Sprite(texture));
        window.clear(sf::Color::White);
        for (const sf::Sprite& tile : tiles) {
            window.draw(tile);
        }
        const std::vector<sf::Uint8> oneByOne = Shown(window);
        ComposedBackdrop composed;
        composed.Compose(tiles);
        window.clear(sf::Color::White);
        window.draw(composed);
        EXPECT_TRUE(Shown(window) == oneByOne) << size.x << "x" << size.y;
    }
}
