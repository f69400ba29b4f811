#include "appserver/storage/DistributionBuilder.h"

#include <gtest/gtest.h>

using pla::DistributionBuilder;

namespace {

pla::MenuDish dish(int seq, const char* container, const char* purpose, double perPerson,
                   double capacity, double extra = 0) {
    pla::MenuDish d;
    d.sequence = seq;
    d.order = seq;
    d.recipeBranch = QStringLiteral("0001");
    d.dish = QStringLiteral("P%1").arg(seq);
    d.name = QStringLiteral("Prato %1").arg(seq);
    d.unit = QStringLiteral("KG");
    d.perPerson = perPerson;
    d.extra = extra;
    d.defaultContainer = QString::fromLatin1(container);
    d.defaultPurpose = QString::fromLatin1(purpose);
    d.defaultCapacity = capacity;
    return d;
}

} // namespace

TEST(AutomaticDistribution, GroupsIndividualContainersAndGivesEachCollectiveDishItsOwn) {
    pla::Menu menu;
    menu.number = QStringLiteral("1");
    menu.dayDiners = 40;
    menu.dishes = {dish(1, "C1", "C", 0.1, 1.5, 0.5), // 4 + 0.5 over 1.5 -> 3 units
                   dish(2, "I1", "I", 0.2, 0.5),      // individual, with dish 4
                   dish(3, "C1", "C", 0.05, 1),       // collective again: own packaging
                   dish(4, "I1", "I", 0.3, 0.5),
                   dish(5, "C1", "C", 0, 1),   // no quantity per person: stays
                   dish(6, "C2", "C", 0.1, 0), // no capacity: stays
                   dish(7, "", "", 0.1, 0)};   // no default container: stays
    const pla::Distribution d = DistributionBuilder::automatic(menu, 40);

    ASSERT_EQ(d.packagings.size(), 3);
    EXPECT_EQ(d.packagings[0].container, QStringLiteral("C1"));
    EXPECT_EQ(d.packagings[0].units, 3);
    EXPECT_DOUBLE_EQ(d.packagings[0].quantity, 4); // quantity without the extra
    EXPECT_EQ(d.packagings[1].container, QStringLiteral("I1"));
    EXPECT_EQ(d.packagings[1].units, 40); // one unit per diner
    EXPECT_EQ(d.packagings[2].units, 2);

    ASSERT_EQ(d.rows.size(), 4);
    EXPECT_EQ(d.rows[1].packaging, d.packagings[1].number);
    EXPECT_EQ(d.rows[2].packaging, d.packagings[2].number);
    EXPECT_EQ(d.rows[3].packaging, d.packagings[1].number); // dish 4 shares the individual one
    EXPECT_EQ(d.rows[1].principal, QStringLiteral("S"));
    EXPECT_EQ(d.rows[3].principal, QStringLiteral("N"));
    for (const auto& p : d.packagings)
        EXPECT_LT(p.number, 0);

    // Nothing is created or lost: each dish's amounts are either placed or still undistributed.
    for (const auto& u : d.undistributed) {
        double diners = u.diners, qty = u.quantity, extra = u.extra;
        for (const auto& r : d.rows)
            if (r.sequence == u.sequence) {
                diners += r.diners;
                qty += r.quantity;
                extra += r.extra;
            }
        EXPECT_DOUBLE_EQ(diners, u.totalDiners) << u.sequence;
        EXPECT_DOUBLE_EQ(qty, u.totalQuantity) << u.sequence;
        EXPECT_DOUBLE_EQ(extra, u.totalExtra) << u.sequence;
    }
    EXPECT_EQ(d.undistributed[4].diners, 40); // dishes 5-7 wait for the user
    EXPECT_EQ(d.undistributed[5].quantity, 4);
    EXPECT_EQ(d.undistributed[6].quantity, 4);
}
