#include "framework/data/NumberFormat.h"

#include <gtest/gtest.h>

namespace {

const QString kList = QStringLiteral("##0.00000;0; ");

TEST(NumberFormatDisplay, ThreeSectionListFormat) {
    EXPECT_EQ(NumberFormat::Format(kList, 1.5), "1,50000");
    EXPECT_EQ(NumberFormat::Format(kList, 0.25), "0,25000"); // at least one integer digit
    EXPECT_EQ(NumberFormat::Format(kList, 1234.5), "1234,50000");
    EXPECT_EQ(NumberFormat::Format(kList, 0.000004), "0,00000");
    EXPECT_EQ(NumberFormat::Format(kList, 2.000005), "2,00001"); // half away from zero
    EXPECT_EQ(NumberFormat::Format(kList, 1.0000049), "1,00000");
    EXPECT_EQ(NumberFormat::Format(kList, 0), " ");
    EXPECT_EQ(NumberFormat::Format(kList, -2.5), "3"); // negative: whole absolute value, no sign
    EXPECT_EQ(NumberFormat::Format(kList, -2.4), "2");
    EXPECT_EQ(NumberFormat::Format(kList, -0.3), "0");
}

TEST(NumberFormatDisplay, SingleSectionAndGeneralFormats) {
    EXPECT_EQ(NumberFormat::Format("##0.00000", 1.5), "1,50000");
    EXPECT_EQ(NumberFormat::Format("##0.00000", 0), "0,00000");
    EXPECT_EQ(NumberFormat::Format("##0.00000", -1.5), "-1,50000");
    EXPECT_EQ(NumberFormat::Format("##0.00000", -0.000001), "0,00000"); // no "-0"
    EXPECT_EQ(NumberFormat::Format("#,##0.00", 1234567.891), "1.234.567,89");
    EXPECT_EQ(NumberFormat::Format("0.##", 2.5), "2,5");
    EXPECT_EQ(NumberFormat::Format("R$ 0.00", 3), "R$ 3,00");
    EXPECT_EQ(NumberFormat::Format("", 1.5), "1,5");
    EXPECT_EQ(NumberFormat::General(1.5), "1,5");
    EXPECT_EQ(NumberFormat::General(-3), "-3");
    EXPECT_EQ(NumberFormat::General(0.1 + 0.2), "0,30000000000000004");
    EXPECT_EQ(NumberFormat::General(1234567), "1234567");
    EXPECT_EQ(NumberFormat::General(1e20), "1E20");
    EXPECT_EQ(NumberFormat::General(0.0000015), "1,5E-6");
    EXPECT_EQ(NumberFormat::General(0.0001), "0,0001");
}

TEST(NumberFormatParse, AcceptsOnlyNumbersWithTheComma) {
    EXPECT_EQ(NumberFormat::Parse("1,5"), 1.5);
    EXPECT_EQ(NumberFormat::Parse(" -2 "), -2);
    EXPECT_EQ(NumberFormat::Parse(",5"), 0.5);
    EXPECT_EQ(NumberFormat::Parse("1.234,5"), 1234.5);
    EXPECT_EQ(NumberFormat::Parse("1.234.567"), 1234567);
    for (const QString bad :
         {"", " ", "-", ",", "1,2,3", "abc", "1a", "1.5", "12.34,5", "1e3", "1,5-", "--1", "1 000"})
        EXPECT_FALSE(NumberFormat::Parse(bad).has_value()) << bad.toStdString();
}

TEST(NumberFormatRound, HalfAwayFromZeroOnTheDecimalForm) {
    EXPECT_EQ(NumberFormat::Round(1.005, 2), 1.01);
    EXPECT_EQ(NumberFormat::Round(-1.005, 2), -1.01);
    EXPECT_EQ(NumberFormat::Round(2.675, 2), 2.68);
    EXPECT_EQ(NumberFormat::Round(0.1 + 0.2, 5), 0.3);
    EXPECT_EQ(NumberFormat::Round(9.999996, 5), 10.0);
}

TEST(NumberFormatDates, DayMonthYear) {
    EXPECT_EQ(NumberFormat::FormatDate(QDate(2026, 3, 8)), "08/03/2026");
    EXPECT_EQ(NumberFormat::ParseDate("8/3/2026"), QDate(2026, 3, 8));
    EXPECT_FALSE(NumberFormat::ParseDate("31/02/2026").has_value());
    EXPECT_FALSE(NumberFormat::ParseDate("2026-03-08").has_value());
}

} // namespace
