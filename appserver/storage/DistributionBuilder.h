#pragma once

#include "appserver/storage/DistributionModel.h"

namespace pla {

// Builds fresh distributions of a menu for a number of diners (no storage involved).
class DistributionBuilder {
public:
    // Every dish undistributed: diners, diners x quantity per person, and the dish's extra.
    // Amounts are rounded and unit counts taken through DishAmounts, as the client does.
    static Distribution undistributed(const Menu& menu, double diners);
    // Every dish placed in a packaging of its default container: individual containers shared
    // by the dishes that use them, with one unit per diner; one collective packaging per dish
    // with the unit count of its capacity. Dishes without a default container, or collective
    // ones without quantity per person or capacity, stay undistributed. Packagings get
    // temporary numbers -1, -2, ... in menu order.
    static Distribution automatic(const Menu& menu, double diners);
};

} // namespace pla
