#include "amounts/DishAmounts.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

namespace pla {

double DishAmounts::Round(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    if (value == 0.0) return 0.0;
    // 15 significant digits: one before the point and 14 after, in scientific notation.
    // to_chars is locale-independent, unlike printf, whose decimal point follows the user's
    // locale once the application has set it.
    char buf[40];
    const double magnitude = std::fabs(value);
    const auto written =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string text(buf, written.ptr);
    const size_t e = text.find('e');
    std::int64_t mantissa = 0; // the 15 digits as an integer
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.') mantissa = mantissa * 10 + (text[i] - '0');
    const int exponent = std::stoi(text.substr(e + 1));

    // mantissa * 10^(exponent - 14) == magnitude; it has (14 - exponent) fractional digits.
    const int drop = (14 - exponent) - decimals;
    if (drop <= 0) return value;
    std::int64_t kept = 0;
    if (drop <= 15) {
        std::int64_t unit = 1;
        for (int i = 0; i < drop; ++i)
            unit *= 10;
        kept = mantissa / unit;
        if (mantissa % unit >= unit / 2) ++kept;
    }
    if (kept == 0) return 0.0;
    const std::string rounded = std::to_string(kept) + "e" + std::to_string(-decimals);
    double result = 0.0;
    std::from_chars(rounded.data(), rounded.data() + rounded.size(), result);
    return value < 0 ? -result : result;
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

} // namespace pla
