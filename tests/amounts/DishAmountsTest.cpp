#include "amounts/DishAmounts.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <vector>

using pla::DishAmounts;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double Or(std::optional<double> v) {
    return v.value_or(kNaN); // "no value" shows in the table as NaN
}

} // namespace

// Every rule, on the screens and on the server alike. A row fails when the value differs, when
// one side is NaN and the other not, or when the sign of a zero differs.
TEST(DishAmounts, OneArithmeticForScreensServerAndReports) {
    double accumulated = 0;
    for (int i = 0; i < 10; ++i)
        accumulated += 0.1234565; // 1.2345650000000001 or a shade below
    const struct {
        const char* rule;
        double got;
        double expected;
    } rows[] = {
        // Halves go away from zero at the decimal as written, not as stored in binary: the
        // server once gave 1,23456 here while the screen gave 1,23457.
        {"half at the fifth decimal", DishAmounts::Round5(1.234565), 1.23457},
        {"negative half", DishAmounts::Round5(-1.234565), -1.23457},
        {"smallest half", DishAmounts::Round5(0.000005), 0.00001},
        {"below the smallest half", DishAmounts::Round5(0.0000049), 0.0},
        {"just below a half", DishAmounts::Round5(1.234564999), 1.23456},
        {"carry through the point", DishAmounts::Round5(9.999996), 10.0},
        {"large with decimals", DishAmounts::Round5(12345.678905), 12345.67891},
        {"huge", DishAmounts::Round5(1e20), 1e20},
        {"tiny", DishAmounts::Round5(1e-300), 0.0},
        {"sum noise", DishAmounts::Round5(0.1 + 0.2), 0.3},
        {"product noise", DishAmounts::Round5(120 * 0.15), 18.0},
        {"accumulated noise", DishAmounts::Round5(accumulated), 1.23457},
        {"other places", DishAmounts::Round(2.675, 2), 2.68},
        {"whole places", DishAmounts::Round(-2.5, 0), -3.0},
        {"tens", DishAmounts::Round(1235.0, -1), 1240.0},
        {"stable", DishAmounts::Round(DishAmounts::Round(2.675, 2), 2), 2.68},
        {"NaN", DishAmounts::Round5(kNaN), kNaN},
        {"infinity", DishAmounts::Round5(kInf), kInf},
        // A zero never carries a sign (the server's binary rounding gave -0).
        {"negative zero", DishAmounts::Round5(-0.0), 0.0},
        {"rounds to zero from below", DishAmounts::Round5(-0.000001), 0.0},

        {"remainder within half a step", DishAmounts::Remainder(-0.000005), 0.0},
        {"remainder of binary noise", DishAmounts::Remainder(0.3 - 0.1 - 0.2), 0.0},
        {"remainder kept", DishAmounts::Remainder(0.0000051), 0.00001},
        {"negative remainder kept", DishAmounts::Remainder(-0.25), -0.25},

        // Units compare at the fifth decimal: the server once counted 2 for 0,8 + 0,4.
        {"sum noise takes no unit", DishAmounts::UnitCount(0.8, 0.4, 1.2), 1},
        {"a real remainder takes one", DishAmounts::UnitCount(0.8, 0.40001, 1.2), 2},
        {"the extra counts", DishAmounts::UnitCount(10, 2, 5), 3},
        {"exact fit", DishAmounts::UnitCount(10, 0, 5), 2},
        {"ratio below whole in binary", DishAmounts::UnitCount(0.3, 0, 0.1), 3},
        {"nothing to carry", DishAmounts::UnitCount(0, 0, 5), 0},
        {"no capacity", DishAmounts::UnitCount(7, 1, 0), 0},
        {"tiny quantity", DishAmounts::UnitCount(1e-9, 0, 5), 0},
        {"huge quantity", DishAmounts::UnitCount(1e12, 0, 0.5), 2e12},

        {"per unit", DishAmounts::PerUnit(1, 3), 0.33333},
        {"per unit without units", DishAmounts::PerUnit(4.8, 0), 0.0},
        {"labels of whole units", DishAmounts::LabelCount(3), 3},
        {"labels of a fraction", DishAmounts::LabelCount(2.01), 3},
        {"labels of noise", DishAmounts::LabelCount(2.0000001), 2},
        {"labels of nothing", DishAmounts::LabelCount(0), 1},
        {"labels of too many", DishAmounts::LabelCount(1e300), std::numeric_limits<int>::max()},

        {"quantity for diners", Or(DishAmounts::QuantityFor(9, 0.012345)), 0.11111},
        {"quantity beyond a double", Or(DishAmounts::QuantityFor(1e300, 1e300)), kNaN},
        {"diners for a quantity", Or(DishAmounts::DinersFor(0.111105, 0.012345)), 9},
        {"diners without a proportion", Or(DishAmounts::DinersFor(5, 0)), kNaN},

        // The dialog never offers more than there is.
        {"maximum steps down", DishAmounts::Maximum(0.111105), 0.1111},
        {"maximum of a 5-decimal amount", DishAmounts::Maximum(4.8), 4.8},
        {"maximum rounding down", DishAmounts::Maximum(0.111104), 0.1111},
        {"maximum of nothing", DishAmounts::Maximum(-0.0), 0.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.rule);
        if (std::isnan(r.expected)) {
            EXPECT_TRUE(std::isnan(r.got)) << r.got;
            continue;
        }
        EXPECT_EQ(r.got, r.expected);
        EXPECT_EQ(std::signbit(r.got), std::signbit(r.expected)) << r.got;
    }
}

// Parts in proportion that always add up to the whole at the fifth decimal, none negative.
TEST(DishAmounts, SplitPartsAddUpExactly) {
    const struct {
        const char* rule;
        double amount;
        std::vector<double> weights, expected;
    } rows[] = {
        {"thirds carry their rounding", 1, {1, 1, 1}, {0.33333, 0.33334, 0.33333}},
        {"a tiny share is not pushed below zero", 0.00001, {1, 1000, 1}, {0, 0.00001, 0}},
        {"no weight: equal parts", 0.3, {0, 0}, {0.15, 0.15}},
        {"nothing to split", 5, {}, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.rule);
        const std::vector<double> parts = DishAmounts::Split(r.amount, r.weights);
        EXPECT_EQ(parts, r.expected);
        double sum = 0;
        for (double p : parts)
            sum += p;
        if (!parts.empty()) {
            EXPECT_EQ(DishAmounts::Round5(sum), DishAmounts::Round5(r.amount));
        }
    }
}
