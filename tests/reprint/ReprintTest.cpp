// Reprinting some labels of one packaging: the units typed, and which labels come out.
#include "reprint/PackagingReprint.h"
#include "reprint/UnitRange.h"
#include "tests/report/ReportTestDay.h"

#include <gtest/gtest.h>

namespace pla::test {

TEST(UnitRange, ReadsOneUnitARangeOrNothingAndNamesWhatIsWrong) {
    const struct {
        const char* typed;
        QList<int> units; // empty: refused with `error`
        const char* error;
    } cases[] = {
        {"", {1, 2, 3, 4}, ""},
        {"  ", {1, 2, 3, 4}, ""},
        {"2", {2}, ""},
        {"1-3", {1, 2, 3}, ""},
        {" 2 - 4 ", {2, 3, 4}, ""},
        {"4-4", {4}, ""},
        {"0", {}, "A embalagem tem 4 unidade(s): informe unidades entre 1 e 4."},
        {"3-5", {}, "A embalagem tem 4 unidade(s): informe unidades entre 1 e 4."},
        {"3-1", {}, "O intervalo \"3-1\" está invertido: informe a menor unidade primeiro (1-3)."},
        {"1,3",
         {},
         "Unidades inválidas: \"1,3\". Informe uma unidade (2) ou um intervalo (1-3) "
         "entre 1 e 4, ou deixe vazio para todas."},
        {"-2",
         {},
         "Unidades inválidas: \"-2\". Informe uma unidade (2) ou um intervalo (1-3) "
         "entre 1 e 4, ou deixe vazio para todas."},
        {"todas",
         {},
         "Unidades inválidas: \"todas\". Informe uma unidade (2) ou um intervalo "
         "(1-3) entre 1 e 4, ou deixe vazio para todas."},
    };
    for (const auto& c : cases) {
        QString error;
        const std::optional<QList<int>> units =
            UnitRange::Parse(QString::fromUtf8(c.typed), 4, error);
        EXPECT_EQ(units.value_or(QList<int>()), c.units) << c.typed;
        EXPECT_EQ(error, QString::fromUtf8(c.error)) << c.typed;
    }
    EXPECT_EQ(UnitRange::Text({1, 2, 3}), "1-3");
    EXPECT_EQ(UnitRange::Text({2}), "2");
}

TEST(PackagingReprint, OneToThreeOfFourUnitsPrintsThoseThreeLabelsNumberedAsInTheWholePrint) {
    const DistributionDay day = SmallDay({Packaging(45, 4, {"Arroz", "Feijão"})});
    const LabelStock* stock = LabelStock::Find(QStringLiteral("ROLO-100x60"));
    ASSERT_TRUE(stock);
    QString error;
    const PrintDocument document = PackagingReprint::Document(
        day, day.packagings.first(), {1, 2, 3}, *stock, QDateTime(day.date, QTime(6, 30)), error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    // One label a page on the roll: the counts tell which labels came out.
    QStringList counts;
    for (const PrintPage& page : document.pages)
        for (const QString& text : Texts(page))
            if (text.endsWith(QLatin1String("/4"))) counts << text;
    EXPECT_EQ(counts, (QStringList{"1/4", "2/4", "3/4"}));
}

} // namespace pla::test
