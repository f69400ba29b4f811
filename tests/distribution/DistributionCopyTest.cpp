// The copy of another day's distribution as a plan, without a screen or a server.
#include "distribution/DistributionCopy.h"

#include "amounts/DishAmounts.h"

#include <gtest/gtest.h>

namespace pla {
namespace {

DayDish Row(const char* code, double diners, double quantity, double extra) {
    DayDish d;
    d.code = QString::fromLatin1(code);
    d.diners = diners;
    d.quantity = quantity;
    d.extra = extra;
    return d;
}

DayPackaging Packaging(const char* container, const char* purpose, const char* remark,
                       QVector<DayDish> dishes) {
    DayPackaging p;
    p.container = QString::fromLatin1(container);
    p.purpose = QString::fromLatin1(purpose);
    p.remark = QString::fromLatin1(remark);
    p.dishes = std::move(dishes);
    return p;
}

double Amount(const CopiedPackaging& p, double dish, double CopiedRow::*amount) {
    for (const CopiedRow& r : p.rows)
        if (r.sequence == dish) return r.*amount;
    return -1; // not in the packaging
}

// That day: rice in two pans (60 % and 40 %, no extra), beans and a dish gone from the menu in
// the trays, juice in a tray that no longer takes it. Today: more rice with extra, the same
// beans, the juice, and a salad that day lacked.
TEST(DistributionCopy, SharesOfTodaysAmountsAndUnitsRecounted) {
    const QVector<DayPackaging> source{
        Packaging("00007", "C", "Panela A", {Row("P1", 60, 6, 0)}),
        Packaging("00007", "C", "Panela B", {Row("P1", 40, 4, 0)}),
        Packaging("00001", "I", "", {Row("P2", 100, 10, 0), Row("P9", 100, 5, 0)}),
        Packaging("00012", "C", "", {Row("P3", 100, 20, 1)}),
    };
    const QVector<CopyDish> menu{
        {1, "P1", "0001", "Arroz", 120, 10.00001, 1, 0.08},
        {2, "P2", "0001", "Feijão", 120, 12, 0, 0.1},
        {3, "P3", "0001", "Suco", 120, 30, 2, 0.25},
        {5, "P5", "0001", "Salada", 120, 6, 0, 0.05},
    };
    int asked = 0;
    const CopyPlan plan =
        DistributionCopy::Plan(source, menu, 120, [&](const CopyDish& d, const QString& c) {
            ++asked;
            return d.code == QLatin1String("P3") ? 0.0 : c == QLatin1String("00007") ? 5.0 : 0.5;
        });
    ASSERT_EQ(plan.packagings.size(), 3);
    const CopiedPackaging &a = plan.packagings[0], &b = plan.packagings[1],
                          &trays = plan.packagings[2];
    const double sumRice = DishAmounts::Round5(Amount(a, 1, &CopiedRow::quantity) +
                                               Amount(b, 1, &CopiedRow::quantity));
    const struct {
        const char* rule;
        double got, expected;
    } rows[] = {
        {"pan A holds 60 % of today's rice", Amount(a, 1, &CopiedRow::quantity), 6.00001},
        {"pan B the rest, exactly", Amount(b, 1, &CopiedRow::quantity), 4},
        {"the parts add up to today's rice", sumRice, 10.00001},
        {"diners keep their own shares", Amount(a, 1, &CopiedRow::diners), 72},
        {"extra that day unpacked follows the quantity", Amount(a, 1, &CopiedRow::extra), 0.6},
        {"pan A recounted by capacity", a.units, 2},
        {"pan B recounted by capacity", b.units, 1},
        {"a collective packaging carries its quantity", a.quantity, 6.00001},
        {"the capacity goes with the row", Amount(a, 1, &CopiedRow::capacity), 5},
        {"individual: one unit per diner of the point", trays.units, 120},
        {"the only beans take all of today's", Amount(trays, 2, &CopiedRow::quantity), 12},
        {"a dish gone from the menu is not copied", double(trays.rows.size()), 1},
        {"a dish new today stays undistributed", Amount(trays, 5, &CopiedRow::quantity), -1},
        {"capacity asked once per dish and container", double(asked), 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.rule);
        EXPECT_EQ(r.got, r.expected);
    }
    EXPECT_EQ(a.remark, QStringLiteral("Panela A"));
    EXPECT_EQ(plan.skipped, QStringList{QStringLiteral(
                                "Suco: sem relação de transporte com o container 00012.")});
    EXPECT_TRUE(plan.commonDish);
}

} // namespace
} // namespace pla
