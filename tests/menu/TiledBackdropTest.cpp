#include "menu/TiledBackdrop.hpp"

#include <gtest/gtest.h>

namespace {

// A sprite's local size is its texture rectangle, so no texture is needed to tile.
sf::Sprite SourceOfSize(int width, int height) {
    sf::Sprite sprite;
    sprite.setTextureRect(sf::IntRect(0, 0, width, height));
    return sprite;
}

TiledBackdrop Build(int width, int height) {
    TiledBackdrop backdrop;
    BuildBackdrop(backdrop, SourceOfSize(width, height));
    return backdrop;
}

} // namespace

TEST(TiledBackdropTest, WorkedSizesCoverTheWindowRowByRow) {
    const TiledBackdrop even = Build(100, 60);
    ASSERT_EQ(even.size(), 80u);
    EXPECT_EQ(even[0].getPosition(), sf::Vector2f(0, 0));
    EXPECT_EQ(even[7].getPosition(), sf::Vector2f(700, 0));
    EXPECT_EQ(even[8].getPosition(), sf::Vector2f(0, 60));
    EXPECT_EQ(even[79].getPosition(), sf::Vector2f(700, 540));

    const TiledBackdrop overhang = Build(120, 70);
    ASSERT_EQ(overhang.size(), 63u);
    EXPECT_EQ(overhang[6].getPosition(), sf::Vector2f(720, 0));
    EXPECT_EQ(overhang[7].getPosition(), sf::Vector2f(0, 70));
    EXPECT_EQ(overhang.back().getPosition(), sf::Vector2f(720, 560));
}

TEST(TiledBackdropTest, SizesAtTheWindowLimits) {
    EXPECT_EQ(Build(800, 60).size(), 10u);
    EXPECT_EQ(Build(1000, 60).size(), 10u);
    EXPECT_EQ(Build(100, 600).size(), 8u);

    const TiledBackdrop twoRows = Build(400, 599);
    ASSERT_EQ(twoRows.size(), 4u);
    EXPECT_EQ(twoRows[2].getPosition(), sf::Vector2f(0, 599));

    const TiledBackdrop thin = Build(1, 600);
    ASSERT_EQ(thin.size(), 800u);
    EXPECT_EQ(thin[799].getPosition(), sf::Vector2f(799, 0));

    const TiledBackdrop single = Build(800, 600);
    ASSERT_EQ(single.size(), 1u);
}

TEST(TiledBackdropTest, TilesKeepTheSourceColourAtAlpha100AndTheCallersSpriteIsUntouched) {
    sf::Sprite source = SourceOfSize(400, 300);
    source.setColor(sf::Color(10, 20, 30, 40));
    source.setPosition(5, 6);
    TiledBackdrop backdrop;
    BuildBackdrop(backdrop, source);
    ASSERT_EQ(backdrop.size(), 4u);
    for (const sf::Sprite& tile : backdrop) {
        EXPECT_EQ(tile.getColor(), sf::Color(10, 20, 30, 100));
        EXPECT_EQ(tile.getTextureRect(), source.getTextureRect());
    }
    EXPECT_EQ(backdrop[0].getPosition(), sf::Vector2f(0, 0));
    EXPECT_EQ(source.getColor(), sf::Color(10, 20, 30, 40));
    EXPECT_EQ(source.getPosition(), sf::Vector2f(5, 6));
}

TEST(TiledBackdropTest, ASecondBuildAppendsAFullSetBehindTheFirst) {
    TiledBackdrop backdrop;
    BuildBackdrop(backdrop, SourceOfSize(100, 60));
    BuildBackdrop(backdrop, SourceOfSize(400, 300));
    ASSERT_EQ(backdrop.size(), 84u);
    EXPECT_EQ(backdrop[79].getPosition(), sf::Vector2f(700, 540));
    EXPECT_EQ(backdrop[80].getPosition(), sf::Vector2f(0, 0));
    EXPECT_EQ(backdrop[83].getPosition(), sf::Vector2f(400, 300));
}

TEST(TiledBackdropTest, ASourceWithoutSizeEndsWithOneTile) {
    for (const sf::Sprite& source : {sf::Sprite(), SourceOfSize(0, 60), SourceOfSize(100, 0)}) {
        TiledBackdrop backdrop;
        BuildBackdrop(backdrop, source);
        ASSERT_EQ(backdrop.size(), 1u);
        EXPECT_EQ(backdrop[0].getPosition(), sf::Vector2f(0, 0));
    }
}
