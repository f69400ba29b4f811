#include "framework/data/FilterExpression.h"

#include "framework/data/DatabaseError.h"

#include <QDate>
#include <gtest/gtest.h>

using pla::FilterColumn;
using pla::FilterExpression;

namespace {

// Columns: CDGRUPSERV text, QTPRATO float, QTEXTRA float, DTCARD date, NMPRATO text.
std::optional<FilterColumn> resolve(const QString& name) {
    const QString n = name.toUpper();
    if (n == "CDGRUPSERV") return FilterColumn{0, false, TFieldType::String};
    if (n == "QTPRATO") return FilterColumn{1, false, TFieldType::Float};
    if (n == "QTEXTRA") return FilterColumn{2, false, TFieldType::Float};
    if (n == "DTCARD") return FilterColumn{3, false, TFieldType::Date};
    if (n == "NMPRATO") return FilterColumn{4, false, TFieldType::String};
    return std::nullopt;
}

bool matches(const QString& text, const QVector<QVariant>& row) {
    FilterExpression e = FilterExpression::Parse(text);
    e.Bind(resolve);
    return e.Matches(row, nullptr);
}

QString errorOf(const QString& text) {
    try {
        FilterExpression e = FilterExpression::Parse(text);
        e.Bind(resolve);
    } catch (const EDatabaseError& err) {
        return err.Message();
    }
    return {};
}

const QVector<QVariant> kRow{QStringLiteral("001"), 2.5, 0.0, QDate(2026, 12, 8),
                             QStringLiteral("Pão d'água")};
const QVector<QVariant> kNulls{QVariant(), QVariant(), QVariant(), QVariant(), QVariant()};

TEST(FilterLanguage, ComparisonsAndLogic) {
    EXPECT_TRUE(matches("(QTPRATO > 0) OR (QTEXTRA > 0)", kRow));
    EXPECT_FALSE(matches("(QTPRATO > 3) OR (QTEXTRA > 0)", kRow));
    EXPECT_TRUE(matches("QTPRATO >= 2.5 and qtextra <= 0", kRow));
    EXPECT_TRUE(matches("NOT QTPRATO < 2.5", kRow));
    EXPECT_TRUE(matches("QTPRATO <> -2.5", kRow));
    EXPECT_TRUE(matches("QTPRATO > - 3", kRow));
    EXPECT_TRUE(matches("NOT (QTPRATO = 1 OR QTEXTRA = 1) AND QTPRATO = 2.5", kRow));
    // AND binds tighter than OR.
    EXPECT_TRUE(matches("QTPRATO = 2.5 OR QTPRATO = 1 AND QTEXTRA = 1", kRow));
    EXPECT_FALSE(matches("(QTPRATO = 2.5 OR QTPRATO = 1) AND QTEXTRA = 1", kRow));
}

TEST(FilterLanguage, TextsDatesAndNulls) {
    EXPECT_TRUE(matches("CDGRUPSERV = '001'", kRow));
    EXPECT_TRUE(matches("CDGRUPSERV = \"001\"", kRow));
    EXPECT_TRUE(matches("CDGRUPSERV = 001", kRow)); // unquoted code compared as written
    EXPECT_FALSE(matches("CDGRUPSERV = 1", kRow));
    EXPECT_TRUE(matches("NMPRATO = 'Pão d''água'", kRow));
    EXPECT_FALSE(matches("NMPRATO = 'pão d''água'", kRow)); // exact case
    EXPECT_TRUE(matches("NMPRATO > 'P'", kRow));
    EXPECT_TRUE(matches("DTCARD = '08/12/2026'", kRow));
    EXPECT_TRUE(matches("DTCARD < '2027-01-01'", kRow));
    // Null: every comparison is false except <>.
    EXPECT_FALSE(matches("QTPRATO = 0", kNulls));
    EXPECT_FALSE(matches("QTPRATO < 1", kNulls));
    EXPECT_FALSE(matches("CDGRUPSERV = ''", kNulls));
    EXPECT_TRUE(matches("QTPRATO <> 0", kNulls));
    EXPECT_TRUE(matches("NOT (QTPRATO > 0)", kNulls));
}

TEST(FilterLanguage, MalformedTextIsAnErrorQuotingIt) {
    for (const QString bad :
         {"QTPRATO >", "(QTPRATO > 0", "QTPRATO > 0)", "QTPRATO", "QTPRATO = 'abc",
          "QTPRATO > 0 AND", "AND QTPRATO > 0", "QTPRATO >> 0", "QTPRATO = 1,5",
          "QTPRATO = 0 QTEXTRA = 0", "(QTPRATO > 0) = 1", "NOT QTPRATO", "QTPRATO ! 0",
          "1.2.3 = QTPRATO", "QTPRATO = 1abc"}) {
        const QString msg = errorOf(bad);
        EXPECT_TRUE(msg.startsWith(QStringLiteral("Filtro inválido \"%1\"").arg(bad)))
            << bad.toStdString() << " -> " << msg.toStdString();
    }
    EXPECT_TRUE(errorOf("QTXPTO > 0").contains("QTXPTO"));
    EXPECT_FALSE(errorOf("QTPRATO = 'abc'").isEmpty()); // text that is no number
    EXPECT_FALSE(errorOf("DTCARD = 5").isEmpty());
    // The empty filter matches everything.
    EXPECT_TRUE(matches("   ", kNulls));
}

TEST(FilterLanguage, NumbersOfAnySizeAreWrittenInPlainDigitsAndReadBack) {
    const struct {
        double value;
        const char* literal;
    } written[] = {{100000, "100000"}, {1000000, "1000000"}, {1e20, "100000000000000000000"},
                   {-3, "-3"},         {0.5, "0.5"},         {1.5e-7, "0.00000015"}};
    for (const auto& w : written) {
        EXPECT_EQ(FilterExpression::NumberLiteral(w.value), w.literal);
        EXPECT_TRUE(matches(QStringLiteral("QTPRATO = ") + w.literal, {{}, w.value, {}, {}, {}}))
            << w.literal;
    }
    // However a data packet writes a number, the filter reads it.
    for (const char* text : {"1e+05", "1E5", "1.0e5", "1000000e-1"})
        EXPECT_TRUE(matches(QStringLiteral("QTPRATO = ") + text, {{}, 100000.0, {}, {}, {}}))
            << text;
    EXPECT_FALSE(errorOf("QTPRATO = 1e").isEmpty());
}

TEST(FilterLanguage, ParsedOnceEvaluatedManyTimes) {
    FilterExpression e = FilterExpression::Parse("QTPRATO > 1");
    EXPECT_FALSE(e.IsBound());
    e.Bind(resolve);
    EXPECT_TRUE(e.Matches({{}, 2.0, {}, {}, {}}, nullptr));
    EXPECT_FALSE(e.Matches({{}, 1.0, {}, {}, {}}, nullptr));
    EXPECT_TRUE(e.Matches({{}, 3, {}, {}, {}}, nullptr)); // an int value compares by number
}

} // namespace

TEST(FilterExpressionTest, QuotedStringsCompareAsThemselvesWhateverTheyHold) {
    const QVector<QVariant> row{QStringLiteral("A'1"), 1.0, 0.0, QDate(2026, 12, 8),
                                QStringLiteral("Arroz")};
    EXPECT_EQ(FilterExpression::QuoteString(QStringLiteral("A'1")), QStringLiteral("'A''1'"));
    EXPECT_TRUE(matches("CDGRUPSERV = " + FilterExpression::QuoteString("A'1"), row));
    EXPECT_FALSE(matches("CDGRUPSERV = " + FilterExpression::QuoteString("A'1' OR 'x' = 'x"), row));
    EXPECT_FALSE(matches("CDGRUPSERV = " + FilterExpression::QuoteString("A"), row));
}
