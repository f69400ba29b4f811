#include "appserver/storage/ContainerMix.h"
#include "appserver/storage/DistributionBuilder.h"
#include "appserver/storage/PackingPolicy.h"

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

namespace {

// A mix as "container×units ...", largest container first.
QString mixText(const QVector<pla::ContainerMix::Part>& mix) {
    QStringList parts;
    for (const auto& p : mix)
        parts << QStringLiteral("%1×%2").arg(p.container).arg(p.units);
    return parts.join(QLatin1Char(' '));
}

} // namespace

TEST(ContainerMix, HoldsTheAmountInTheFewestUnitsThenTheLeastEmptyThenTheFewestTypes) {
    using Candidates = QVector<pla::ContainerMix::Candidate>;
    const Candidates twoPans{{"G4", 4}, {"G2", 2}};
    const Candidates threePans{{"G6", 6}, {"G4", 4}, {"G25", 2.5}};
    const struct {
        double quantity, extra;
        Candidates candidates;
        const char* preferred;
        const char* mix;
    } cases[] = {
        {10, 0, twoPans, "G4", "G4×2 G2×1"},  // not 3 × 4 kg: three units, nothing empty
        {8, 0, twoPans, "G4", "G4×2"},        // an exact fit
        {1, 0, twoPans, "G4", "G2×1"},        // less than the smallest pan
        {8, 0.5, twoPans, "G4", "G4×2 G2×1"}, // the extra tips it into one more unit
        {7, 0, threePans, "G6", "G4×2"},      // two units either way: 8 leaves less empty
        {9, 0, threePans, "G6", "G6×1 G4×1"},
        {8, 0, {{"G6", 6}, {"G4", 4}, {"G2", 2}}, "G6", "G4×2"}, // 6+2 fits too, in two types
        {4, 0, {{"A4", 4}, {"B4", 4}}, "B4", "B4×1"},            // a tie goes to the default
        {0.00001, 0, twoPans, "G4", "G2×1"},
        {3, 0, {{"G0", 0}}, "G0", ""}, // no capacity, no mix
        {0, 0, twoPans, "G4", ""},     // nothing to carry
    };
    for (const auto& c : cases)
        EXPECT_EQ(mixText(pla::ContainerMix::choose(c.quantity, c.extra, c.candidates,
                                                    QString::fromLatin1(c.preferred))),
                  QString::fromUtf8(c.mix))
            << c.quantity << " + " << c.extra;
}

TEST(ContainerMix, SplitsInProportionToTheCapacityUsedAndAddsUpExactly) {
    const struct {
        double amount;
        QVector<pla::ContainerMix::Part> parts;
        QVector<double> shares;
    } cases[] = {
        {10, {{"G4", 4, 2}, {"G2", 2, 1}}, {8, 2}},
        {5.5, {{"G4", 4, 1}, {"G2", 2, 1}}, {3.66667, 1.83333}},
        {1, {{"A", 1, 1}, {"B", 1, 1}, {"C", 1, 1}}, {0.33334, 0.33333, 0.33333}},
        {0.00001, {{"G4", 4, 1}, {"G2", 2, 1}}, {0.00001, 0}},
        {0, {{"G4", 4, 1}, {"G2", 2, 1}}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pla::ContainerMix::split(c.amount, c.parts), c.shares) << c.amount;
    // Split apiece, both leftover steps would go to the first pan and overfill it.
    const auto both =
        pla::ContainerMix::splitAmounts(11.99999, 0.00001, {{"A", 6, 1}, {"B", 3, 2}});
    EXPECT_EQ(both.quantity, QVector<double>({6, 5.99999}));
    EXPECT_EQ(both.extra, QVector<double>({0, 0.00001}));
}

TEST(PackingPolicy, TheMostSpecificRuleWhoseContainerCarriesTheDishWins) {
    pla::PackingPolicy policy;
    const struct {
        const char *service, *client, *destination, *dish, *container;
    } rules[] = {
        {"S1", "C1", "D1", "P1", "PD1"}, {"", "C1", "D1", "P1", "PD0"},
        {"S1", "C1", "D1", "", "PT1"},   {"", "C1", "D2", "", "PT0"},
        {"S1", "", "", "P1", "SD"},      {"S1", "", "", "", "SV"},
        {"", "", "", "P1", "BD"},
    };
    for (const auto& r : rules)
        policy.add({r.service, r.client, r.destination, r.dish, r.container});
    // Every dish can travel in every container of the rules, but P3 not in PT1.
    auto dish = [](const char* code) {
        pla::MenuDish d;
        d.dish = QString::fromLatin1(code);
        for (const char* c : {"PD1", "PD0", "PT1", "PT0", "SD", "SV", "BD"})
            if (qstrcmp(code, "P3") != 0 || qstrcmp(c, "PT1") != 0)
                d.containers.push_back({QString::fromLatin1(c), {}, QStringLiteral("C"), 1});
        return d;
    };
    const struct {
        const char *service, *client, *destination, *dish, *container;
    } cases[] = {
        {"S1", "C1", "D1", "P1", "PD1"}, // point and dish, the service named
        {"S2", "C1", "D1", "P1", "PD0"}, // point and dish, any service
        {"S1", "C1", "D1", "P2", "PT1"}, // point
        {"S2", "C1", "D2", "P2", "PT0"}, // point, any service
        {"S1", "C9", "D9", "P1", "SD"},  // service and dish
        {"S1", "C9", "D9", "P2", "SV"},  // service
        {"S2", "C9", "D9", "P1", "BD"},  // branch and dish
        {"S2", "C9", "D9", "P2", ""},    // no rule: the default container
        {"S1", "", "", "P1", "SD"},      // a service without delivery points
        {"S1", "C1", "D1", "P3", "SV"},  // PT1 has no capacity for P3: the next rule
    };
    for (const auto& c : cases)
        EXPECT_EQ(policy.ruleContainer(c.service, c.client, c.destination, dish(c.dish)),
                  QString::fromLatin1(c.container))
            << c.service << " " << c.client << "/" << c.destination << " " << c.dish;
}
