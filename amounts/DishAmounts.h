#pragma once

#include <optional>
#include <vector>

namespace pla {

// The arithmetic of dish amounts (diners, quantities, extras, unit counts), the same on the
// screens, in the reports and on the application server. Amounts are kept to five decimals.
class DishAmounts {
public:
    // Rounds value to the given number of decimal places, halves away from zero, judged on
    // its 15 significant digits (DecimalRounding::Round): Round(1.234565, 5) == 1.23457.
    static double Round(double value, int decimals);

    // Round(value, 5): every stored amount.
    static double Round5(double value);

    // What is left of an amount after a move, rounded to 5 decimals. A remainder within half
    // a step of zero is the trace of an amount with more decimals than the moves handle (or
    // of binary fractions), not something still to distribute: it is zero, never -0,00001 or
    // 0,00001.
    static double Remainder(double value);

    // Units of a container of capacity `capacity` needed for `quantity` plus `extra`: 0
    // without capacity, otherwise the whole part of the ratio plus one for a remainder that
    // is above zero at the fifth decimal (0,8 + 0,4 at capacity 1,2 is one unit: the binary
    // noise of the sum takes no container).
    static double UnitCount(double quantity, double extra, double capacity);

    // The amount per unit of a packaging: amount ÷ units rounded to 5 decimals; 0 without
    // units.
    static double PerUnit(double amount, double units);

    // Containers to label for a unit count: whole units, at least one; a fraction above zero
    // at the fifth decimal takes a container of its own.
    static int LabelCount(double units);

    // The quantity of a dish for a number of diners: diners × quantity per person, rounded
    // to 5 decimals. Nothing when the product is not a finite number.
    static std::optional<double> QuantityFor(double diners, double perPerson);

    // The diners a quantity of a dish serves: quantity ÷ quantity per person, rounded to 5
    // decimals. Nothing without a quantity per person (no proportion to follow) or when the
    // ratio is not a finite number.
    static std::optional<double> DinersFor(double quantity, double perPerson);

    // The most of an amount that can be moved: the amount rounded to 5 decimals, or one step
    // lower when rounding would go above the amount (0,111105 gives 0,1111), so that moving
    // the maximum never takes more than there is.
    static double Maximum(double amount);

    // amount rounded to 5 decimals, split into one part per weight in proportion to the
    // weights (none negative). Each part is a 5-decimal number, none is negative, and the parts
    // add up exactly to the rounded amount: part i is the rounded share of the weights up to
    // and including i less that of the weights before it, so the rounding of one part is
    // carried by the next instead of piling up. All weights zero: equal weights.
    static std::vector<double> Split(double amount, const std::vector<double>& weights);
};

} // namespace pla
