#pragma once

namespace pla {

// Rounding of amounts at a decimal place, the one routine behind the framework's RoundDec and
// the dish arithmetic shared with the application server, so the two can never disagree.
class DecimalRounding {
public:
    // Rounds value to the given number of decimal places, halves away from zero.
    // The value is first taken to 15 significant decimal digits, the precision a double holds
    // reliably, so the rounding acts on the number as written or computed rather than on its
    // binary approximation: Round(1.234565, 5) == 1.23457, Round(2.675, 2) == 2.68,
    // Round(-1.234565, 5) == -1.23457, and sums such as 0.1 + 0.2 round as 0.3 would.
    // The result is the double nearest to the rounded decimal. A value with no digits beyond
    // the requested place, an infinity or a NaN is returned unchanged; a result of zero is +0.
    static double Round(double value, int decimals);
};

} // namespace pla
