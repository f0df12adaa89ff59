#include "support/Support.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

TEST(BillManagerTest, ABillDrawsHourMinuteAndColumnAndCarriesItsTimeOnItsCentre) {
    ResetGlobals();
    ContentManager content;
    content.LoadFile("Blank bill", "Content/moneybill_blank.png");
    BillManager bills;
    bills.Init(content);
    for (const unsigned seed : {1u, 7u, 2024u}) {
        std::srand(seed);
        const int hour = std::rand() % 24, minute = std::rand() % 4 * 15,
                  x = std::rand() % 600 + 100;
        std::srand(seed);
        bills.SpawnBill();
        const FallingBill& bill = bills.List().back();
        const sf::FloatRect size = bill.sprite.getLocalBounds(),
                            digits = bill.text.getLocalBounds();
        EXPECT_EQ(std::tuple(bill.hour, bill.minute, bill.sprite.getPosition(),
                             bill.text.getPosition(), bill.text.getString(),
                             bill.text.getCharacterSize(), bill.text.getFillColor()),
                  std::tuple(float(hour), float(minute), sf::Vector2f(x, 0), sf::Vector2f(x, 0),
                             sf::String(BillTimeText(hour, minute)), 40u, sf::Color::Black));
        EXPECT_EQ(std::pair(bill.sprite.getOrigin(), bill.text.getOrigin()),
                  std::pair(sf::Vector2f(size.width / 2, size.height / 2),
                            sf::Vector2f(digits.width / 2, digits.height - 1)));
    }
    for (const auto& [hour, minute, text] : {std::tuple(9, 0, "09:00"),
                                             {0, 0, "00:00"},
                                             {10, 15, "10:15"},
                                             {7, 45, "07:45"},
                                             {23, 30, "23:30"}}) {
        EXPECT_EQ(BillTimeText(hour, minute), text);
    }
}

TEST(BillManagerTest, BillsFallByWholePixelsAndLeaveOnceTheirTopEdgeIsPastTheBottom) {
    ResetGlobals();
    BillManager bills;
    bills.Init(g_content);
    bills.List() = {BillAt(150, 0, 1, 0), BillAt(250, 584, 2, 0), BillAt(350, 591, 3, 0),
                    BillAt(450, 700, 4, 0)};
    const auto move = [&bills](double seconds) {
        Tick(seconds);
        return bills.MoveBills();
    };
    EXPECT_EQ(move(0.01), 1);     // 0.7 px is no step, yet the bill already out leaves
    EXPECT_EQ(move(1.0 / 60), 0); // 1.17 px
    EXPECT_EQ(move(1.0), 1);      // 662 is out; at 655 the top edge is on the bottom edge
    ASSERT_EQ(bills.List().size(), 2u);
    EXPECT_EQ(bills.List()[1].text.getPosition(), sf::Vector2f(250, 655));
    bills.List().push_back(BillAt(550, 10, 5, 0));
    bills.AddFallSpeed(30);
    EXPECT_EQ(move(1.0 / 32), 1); // 3 px at 100 px/s; the others keep their order
    EXPECT_EQ(std::pair(bills.List()[0].sprite.getPosition(), bills.List()[1].sprite.getPosition()),
              std::pair(sf::Vector2f(150, 74), sf::Vector2f(550, 13)));
    EXPECT_EQ(move(60.0), 2);
}
