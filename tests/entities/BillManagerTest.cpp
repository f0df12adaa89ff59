#include "entities/BillManager.hpp"

#include "app/Globals.hpp"
#include "content/ContentManager.hpp"
#include "support/Sized.hpp"
#include "support/TestContent.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

TEST(BillTimeTextTest, HoursAndMinutesAreTwoDigitsAndOnlyZeroMinutesArePadded) {
    EXPECT_EQ(BillTimeText(9, 0), "09:00");
    EXPECT_EQ(BillTimeText(0, 0), "00:00");
    EXPECT_EQ(BillTimeText(10, 15), "10:15");
    EXPECT_EQ(BillTimeText(7, 45), "07:45");
    EXPECT_EQ(BillTimeText(12, 30), "12:30");
    EXPECT_EQ(BillTimeText(23, 45), "23:45");
}

class BillManagerTest : public testing::Test {
protected:
    void SetUp() override {
        ResetGlobals();
        content.LoadFile("Blank bill", WritePng(dir.File("blank.png"), 180, 110));
        bills.Init(content);
        ASSERT_FALSE(g_quit);
    }
    void TearDown() override { ResetGlobals(); }

    TempDir dir;
    ContentManager content;
    BillManager bills;
};

TEST_F(BillManagerTest, ABillDrawsHourMinuteAndColumnInThatOrder) {
    EXPECT_EQ(bills.FallSpeed(), 70);
    for (unsigned seed : {1u, 7u, 42u, 2024u}) {
        std::srand(seed);
        const int hour = std::rand() % 24;
        const int quarter = std::rand() % 4;
        const int x = std::rand() % 600 + 100;

        std::srand(seed);
        bills.SpawnBill();
        const FallingBill& bill = bills.List().back();
        EXPECT_EQ(bill.hour, static_cast<float>(hour));
        EXPECT_EQ(bill.minute, static_cast<float>(15 * quarter));
        EXPECT_EQ(bill.sprite.getPosition(), sf::Vector2f(static_cast<float>(x), 0.0f));
        EXPECT_EQ(bill.text.getString().toAnsiString(), BillTimeText(hour, 15 * quarter));
    }
    EXPECT_EQ(bills.List().size(), 4u);
}

TEST_F(BillManagerTest, SpriteAndTextOriginsPutTheDigitsOnTheBillsCentre) {
    bills.SpawnBill();
    const FallingBill& bill = bills.List().front();
    EXPECT_EQ(bill.sprite.getOrigin(), sf::Vector2f(90, 55));
    EXPECT_EQ(bill.text.getCharacterSize(), 40u);
    EXPECT_EQ(bill.text.getFillColor(), sf::Color::Black);
    EXPECT_EQ(bill.text.getFont(), &bills.DigitalFont());
    const sf::FloatRect digits = bill.text.getLocalBounds();
    EXPECT_EQ(bill.text.getOrigin(), sf::Vector2f(digits.width * 0.5f, digits.height - 1.0f));
    EXPECT_EQ(bill.text.getPosition(), bill.sprite.getPosition());
    // The printed time must sit on the note, not spill off it.
    const sf::FloatRect note = bill.sprite.getGlobalBounds();
    const sf::FloatRect printed = bill.text.getGlobalBounds();
    EXPECT_TRUE(note.intersects(printed));
    EXPECT_GE(printed.left, note.left);
    EXPECT_LE(printed.left + printed.width, note.left + note.width);
    EXPECT_GE(printed.top, note.top);
}

TEST_F(BillManagerTest, StepsAreWholePixelsOfSpeedTimesTime) {
    bills.List().push_back(BillAt(300, 0, 1, 0));
    bills.MoveBills(1.0 / 60.0); // 70 / 60 = 1.17 px
    EXPECT_EQ(bills.List()[0].sprite.getPosition().y, 1.0f);
    bills.MoveBills(0.01); // 0.7 px
    EXPECT_EQ(bills.List()[0].sprite.getPosition().y, 1.0f);
    bills.MoveBills(1.0);
    EXPECT_EQ(bills.List()[0].sprite.getPosition().y, 71.0f);
    bills.AddFallSpeed(30);
    bills.MoveBills(0.5);
    EXPECT_EQ(bills.List()[0].sprite.getPosition().y, 121.0f);
    EXPECT_EQ(bills.List()[0].text.getPosition(), bills.List()[0].sprite.getPosition());
}

TEST_F(BillManagerTest, ABillEscapesOnlyOnceItsTopEdgeIsBelowTheWindow) {
    // Top edge exactly on the bottom edge: still in.
    bills.List().push_back(BillAt(300, 655 - 70, 1, 0));
    EXPECT_EQ(bills.MoveBills(1.0), 0);
    ASSERT_EQ(bills.List().size(), 1u);
    EXPECT_EQ(bills.List()[0].sprite.getPosition().y, 655.0f);
    EXPECT_EQ(bills.MoveBills(1.0 / 60.0), 1);
    EXPECT_TRUE(bills.List().empty());
}

TEST_F(BillManagerTest, EveryEscapeInOneCallIsCountedAndTheRestKeepTheirOrder) {
    bills.List().push_back(BillAt(150, 640, 1, 0));
    bills.List().push_back(BillAt(250, 650, 2, 0));
    bills.List().push_back(BillAt(350, 100, 3, 0));
    bills.List().push_back(BillAt(450, 654, 4, 0));
    bills.List().push_back(BillAt(550, 0, 5, 0));
    EXPECT_EQ(bills.MoveBills(0.1), 2); // 7 px: the second and fourth pass 655
    ASSERT_EQ(bills.List().size(), 3u);
    EXPECT_EQ(bills.List()[0].hour, 1.0f);
    EXPECT_EQ(bills.List()[1].hour, 3.0f);
    EXPECT_EQ(bills.List()[2].hour, 5.0f);
}

TEST_F(BillManagerTest, AStandingStepStillRemovesABillAlreadyOut) {
    bills.List().push_back(BillAt(300, 700, 1, 0));
    EXPECT_EQ(bills.MoveBills(0.0), 1);
    EXPECT_TRUE(bills.List().empty());
    EXPECT_EQ(bills.MoveBills(1.0), 0);
}

TEST_F(BillManagerTest, ALongFrameTakesTheOnlyBillOut) {
    bills.SpawnBill();
    EXPECT_EQ(bills.MoveBills(60.0), 1);
    EXPECT_TRUE(bills.List().empty());
}

TEST(BillManagerFailureTest, AMissingDigitalFontQuitsWithoutALine) {
    ResetGlobals();
    ContentCopy copy;
    std::filesystem::remove(copy.File("digitalfont.ttf"));
    ScopedWorkingDir cwd(copy.Root());
    ContentManager content;
    content.LoadFile("Blank bill", "Content/moneybill_blank.png");
    testing::internal::CaptureStdout();
    BillManager bills;
    bills.Init(content);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(g_quit);
    EXPECT_EQ(bills.FallSpeed(), 70);
    ResetGlobals();
}
