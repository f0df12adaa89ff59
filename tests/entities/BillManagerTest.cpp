#include "support/Support.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

TEST(BillManagerTest, ABillDrawsHourMinuteAndColumnAndShowsItsTimeOnItsCentre) {
    g_content.LoadFile("Blank bill", "Content/moneybill_blank.png");
    BillManager bills;
    bills.Init(g_content);
    std::srand(2024);
    const int hour = std::rand() % 24, minute = std::rand() % 4 * 15, x = std::rand() % 600 + 100;
    std::srand(2024);
    bills.SpawnBill();
    const FallingBill& bill = bills.List().back();
    const sf::FloatRect size = bill.sprite.getLocalBounds(), text = bill.text.getLocalBounds();
    EXPECT_EQ(std::tuple(bill.hour, bill.minute, bill.sprite.getPosition(), bill.text.getPosition(),
                         bill.sprite.getOrigin(), bill.text.getOrigin()),
              std::tuple(float(hour), float(minute), sf::Vector2f(x, 0), sf::Vector2f(x, 0),
                         sf::Vector2f(size.width / 2, size.height / 2),
                         sf::Vector2f(text.width / 2, text.height - 1)));
    EXPECT_EQ(bill.text.getString() + " " + BillTimeText(9, 0) + " " + BillTimeText(10, 15),
              BillTimeText(hour, minute) + " 09:00 10:15");
}

TEST(BillManagerTest, BillsFallByWholePixelsTheirTextsWithThemAndLeaveOncePastTheBottom) {
    BillManager bills;
    bills.Init(g_content);
    bills.List() = {BillAt(150, 0, 1), BillAt(250, 584, 2), BillAt(350, 591, 3),
                    BillAt(450, 700, 4)};
    const auto move = [&bills](float seconds) {
        g_desk.now += sf::seconds(seconds);
        return bills.MoveBills();
    };
    EXPECT_EQ(move(0.01f), 1);     // 0.7 px is no step, yet the bill already out leaves
    EXPECT_EQ(move(1.0f / 60), 0); // 1.17 px
    EXPECT_EQ(move(1.0f), 1);      // 662 is out; at 655 the top edge is on the bottom edge
    bills.List().push_back(BillAt(550, 10, 5));
    bills.AddFallSpeed(30);
    EXPECT_EQ(move(1.0f / 32), 1); // 3 px at 100 px/s; the others keep their order
    EXPECT_EQ(std::pair(bills.List()[0].text.getPosition(), bills.List()[1].sprite.getPosition()),
              std::pair(sf::Vector2f(150, 74), sf::Vector2f(550, 13)));
}
