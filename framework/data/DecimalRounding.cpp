#include "framework/data/DecimalRounding.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace pla {

double DecimalRounding::Round(double value, int decimals) {
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

} // namespace pla
