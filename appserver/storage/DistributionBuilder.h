#pragma once

#include "appserver/storage/DistributionModel.h"

namespace pla {

// Builds fresh distributions of a menu for a number of diners (no storage involved).
class DistributionBuilder {
public:
    // Rounds half away from zero at the 5th decimal, as the client does.
    static double round5(double v);
    // Units of a container of capacity `capacity` needed for `quantity` plus `extra`:
    // 0 without capacity, otherwise the whole part of the ratio, plus one for any remainder.
    static double unitCount(double quantity, double extra, double capacity);
    // Every dish undistributed: diners, diners x quantity per person, and the dish's extra.
    static Distribution undistributed(const Menu& menu, double diners);
    // Every dish placed in a packaging of its default container: individual containers shared
    // by the dishes that use them, with one unit per diner; one collective packaging per dish
    // with the unit count of its capacity. Dishes without a default container, or collective
    // ones without quantity per person or capacity, stay undistributed. Packagings get
    // temporary numbers -1, -2, ... in menu order.
    static Distribution automatic(const Menu& menu, double diners);
};

} // namespace pla
