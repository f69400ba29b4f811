#include "amounts/DishAmounts.h"

#include "framework/data/DecimalRounding.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

namespace pla {

double DishAmounts::Round(double value, int decimals) {
    return DecimalRounding::Round(value, decimals);
}

double DishAmounts::Round5(double value) {
    return Round(value, 5);
}

double DishAmounts::Remainder(double value) {
    return std::fabs(value) <= 0.000005 + 1e-9 ? 0.0 : Round5(value);
}

double DishAmounts::UnitCount(double quantity, double extra, double capacity) {
    if (capacity == 0) return 0;
    const double total = Round5(quantity + extra);
    const double whole = std::trunc(total / capacity);
    return Round5(total - whole * capacity) > 0 ? whole + 1 : whole;
}

double DishAmounts::PerUnit(double amount, double units) {
    return units > 0 ? Round5(amount / units) : 0.0;
}

int DishAmounts::LabelCount(double units) {
    const double whole = std::ceil(Round5(units));
    // NaN fails both comparisons and gets the one label; a count beyond int is no real day.
    if (!(whole > 1)) return 1;
    return whole >= double(INT_MAX) ? INT_MAX : static_cast<int>(whole);
}

std::optional<double> DishAmounts::QuantityFor(double diners, double perPerson) {
    const double q = diners * perPerson;
    if (!std::isfinite(q)) return std::nullopt;
    return Round5(q);
}

std::optional<double> DishAmounts::DinersFor(double quantity, double perPerson) {
    if (perPerson == 0) return std::nullopt;
    const double d = quantity / perPerson;
    if (!std::isfinite(d)) return std::nullopt;
    return Round5(d);
}

double DishAmounts::Maximum(double amount) {
    const double rounded = Round5(amount);
    // The margin only lets pass the last binary digit of an amount that is a 5-decimal number.
    if (amount >= 0 && rounded - amount > 1e-9) return Round5(rounded - 0.00001);
    return rounded;
}

std::vector<double> DishAmounts::Split(double amount, const std::vector<double>& weights) {
    std::vector<double> parts(weights.size(), 0.0);
    if (weights.empty()) return parts;
    // Counted in steps of 0,00001 so that the parts add up in whole numbers, not in binary
    // fractions.
    const long long steps = std::llround(Round5(amount) * 1e5);
    const long double total = std::accumulate(weights.cbegin(), weights.cend(), 0.0L);
    long double before = 0;
    long long stepsBefore = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        before += total > 0 ? weights[i] : 1.0L;
        const long double share = before / (total > 0 ? total : weights.size());
        const long long upTo =
            i + 1 == weights.size() ? steps : std::llround(static_cast<long double>(steps) * share);
        parts[i] = static_cast<double>(upTo - stepsBefore) / 1e5;
        stepsBefore = upTo;
    }
    return parts;
}

} // namespace pla
