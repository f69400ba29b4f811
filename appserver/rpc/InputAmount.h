#pragma once

#include <QString>

namespace pla {

// The rule for an amount that comes from outside, whether a client's save or an imported file:
// never negative, never above its bound. Both read it from here, so the import cannot store
// what a save of the same distribution would then refuse.
class InputAmount {
public:
    // Empty when `value` may be stored under the bound `max`; otherwise what is wrong with it, as
    // the end of a Portuguese sentence ("não pode ser negativo", "passa do limite de 1.000").
    static QString problem(double value, double max);
    // `value` as messages write it: whole, with the Brazilian thousands separator.
    static QString figure(double value);
};

} // namespace pla
