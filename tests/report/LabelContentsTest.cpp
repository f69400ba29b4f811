// What a label declares, from the dishes of its packaging.
#include "report/LabelContents.h"

#include "tests/report/ReportTestDay.h"

#include <gtest/gtest.h>

namespace pla::test {

TEST(LabelContents, ValidityIsTheEarliestDishAcrossMidnightAndMonthEnd) {
    const struct {
        QDateTime prepared;
        QVector<int> hours;
        QDateTime validity;
    } cases[] = {
        {QDateTime(QDate(2026, 12, 8), QTime(10, 30)),
         {6},
         QDateTime(QDate(2026, 12, 8), QTime(16, 30))},
        {QDateTime(QDate(2026, 12, 8), QTime(10, 30)),
         {72, 24, 120},
         QDateTime(QDate(2026, 12, 9), QTime(10, 30))},
        {QDateTime(QDate(2026, 12, 8), QTime(20, 0)),
         {48, 6},
         QDateTime(QDate(2026, 12, 9), QTime(2, 0))},
        {QDateTime(QDate(2026, 2, 27), QTime(18, 15)),
         {120},
         QDateTime(QDate(2026, 3, 4), QTime(18, 15))},
        {QDateTime(QDate(2026, 12, 31), QTime(22, 0)),
         {4, 24},
         QDateTime(QDate(2027, 1, 1), QTime(2, 0))},
    };
    for (const auto& c : cases) {
        QStringList names;
        for (int i = 0; i < c.hours.size(); ++i)
            names << QStringLiteral("Prato %1").arg(i);
        DayPackaging p = Packaging(1, 1, names);
        for (int i = 0; i < c.hours.size(); ++i)
            p.dishes[i].shelfHours = c.hours[i];
        EXPECT_EQ(LabelContents::Validity(p, c.prepared), c.validity)
            << c.prepared.toString().toStdString();
    }
}

TEST(LabelContents, ConservationGlutenAndLactoseFollowTheDishes) {
    const DistributionDay day = SmallDay({});
    const QDateTime prepared(QDate(2026, 12, 8), QTime(9, 0));
    DayPackaging same = Packaging(1, 1, {QStringLiteral("Arroz"), QStringLiteral("Feijão")});
    same.dishes[1].lactose = true;
    LabelContents c = LabelContents::Of(day, same, prepared);
    EXPECT_EQ(c.conservation, QStringList{QStringLiteral("Conservar aquecido acima de 60 °C")});
    EXPECT_EQ(c.glutenLactose, QStringLiteral("NÃO CONTÉM GLÚTEN · CONTÉM LACTOSE"));
    EXPECT_TRUE(c.allergens.isEmpty());

    // Mixed conservation: one line per instruction with its dishes; a cereal means gluten.
    DayPackaging mixed = Packaging(
        2, 1, {QStringLiteral("Macarrão"), QStringLiteral("Salada"), QStringLiteral("Pudim")});
    mixed.dishes[0].allergens = QStringLiteral("trigo, ovos");
    mixed.dishes[1].conservation = mixed.dishes[2].conservation = QStringLiteral("R");
    c = LabelContents::Of(day, mixed, prepared);
    EXPECT_EQ(c.conservation,
              (QStringList{QStringLiteral("Conservar aquecido acima de 60 °C: Macarrão"),
                           QStringLiteral("Conservar refrigerado abaixo de 5 °C: Salada, Pudim")}));
    EXPECT_EQ(c.glutenLactose, QStringLiteral("CONTÉM GLÚTEN"));
    EXPECT_EQ(c.allergens, QStringLiteral("ALÉRGICOS: CONTÉM TRIGO E OVOS."));
    EXPECT_EQ(c.lot, QStringLiteral("Lote: 20261208-0001-00001"));
}

} // namespace pla::test
