#include "menu/ComposedBackdrop.hpp"
#include "support/Support.hpp"

#include <gtest/gtest.h>

TEST(BackdropTest, TilesCoverTheWindowRowByRowAtAlpha100BehindTilesAlreadyThere) {
    const struct {
        int w, h;
        std::size_t count, index;
        sf::Vector2f at;
    } cases[] = {
        {100, 60, 80, 8, {0, 60}},     {100, 60, 80, 79, {700, 540}}, {120, 70, 63, 7, {0, 70}},
        {120, 70, 63, 62, {720, 560}}, {800, 60, 10, 1, {0, 60}},     {1000, 60, 10, 9, {0, 540}},
        {100, 600, 8, 7, {700, 0}},    {400, 599, 4, 2, {0, 599}},    {1, 600, 800, 799, {799, 0}},
        {0, 60, 1, 0, {0, 0}},         {100, 0, 1, 0, {0, 0}}};
    for (const auto& c : cases) {
        sf::Sprite source = Centred(c.w, c.h, 5, 6);
        source.setColor({10, 20, 30, 40});
        TiledBackdrop tiles(1);
        BuildBackdrop(tiles, source);
        ASSERT_EQ(tiles.size(), c.count + 1) << c.w << "x" << c.h;
        EXPECT_EQ(tiles[c.index + 1].getPosition(), c.at) << c.w << "x" << c.h;
        EXPECT_EQ(tiles.back().getColor(), sf::Color(10, 20, 30, 100));
        EXPECT_EQ(tiles.back().getOrigin(), source.getOrigin());
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
            for (unsigned x = 0; x < size.x * size.y; ++x) {
                image.setPixel(x % size.x, x / size.x, sf::Color(x * 37, x * 59, x * 13, x * 7));
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
        const sf::Image oneByOne = Shown(window);
        ComposedBackdrop composed;
        composed.Compose(tiles);
        window.clear(sf::Color::White);
        window.draw(composed);
        EXPECT_TRUE(Same(Shown(window), oneByOne)) << size.x << "x" << size.y;
    }
}
