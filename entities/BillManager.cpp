#include "entities/BillManager.hpp"

#include "app/Globals.hpp"
#include "content/ContentManager.hpp"
#include "content/Files.hpp"

void BillManager::Init(ContentManager& content) {
    m_template = sf::Sprite(content.GetTexture("Blank bill", false));
    if (!LoadFont(m_digitalFont, "Content/digitalfont.ttf")) {
        g_quit = true;
    }
    m_moveClock.Restart();
    m_fallSpeed = 70;
}

void BillManager::SpawnBill() {
    FallingBill bill;
    bill.MakeBill(m_digitalFont, m_template);
    m_list.push_back(std::move(bill));
}

int BillManager::MoveBills() {
    const double seconds = m_moveClock.Restart().asSeconds();
    // Whole pixels, the same step for every bill in this call.
    const int step = static_cast<int>(m_fallSpeed * seconds);
    int escaped = 0;
    for (std::size_t i = 0; i < m_list.size();) {
        FallingBill& bill = m_list[i];
        bill.sprite.move({0.0f, static_cast<float>(step)});
        bill.text.setPosition(bill.sprite.getPosition());
        // Escaped once its top edge lies strictly below the window's bottom edge.
        const float limit =
            static_cast<float>(600.0 + SizeOf(bill.sprite.getLocalBounds()).y * 0.5);
        if (limit < bill.sprite.getPosition().y) {
            m_list.erase(m_list.begin() + static_cast<std::ptrdiff_t>(i));
            ++escaped;
        } else {
            ++i;
        }
    }
    return escaped;
}
