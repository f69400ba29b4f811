#pragma once

#include "appserver/storage/DistributionModel.h"

namespace pla {

// Builds fresh distributions of a menu for a number of diners (no storage involved).
class DistributionBuilder {
public:
    // Every dish undistributed: diners, diners x quantity per person, and the dish's extra.
    // Amounts are rounded and unit counts taken through DishAmounts, as the client does.
    static Distribution undistributed(const Menu& menu, double diners);
    // Every dish placed in packagings as `choice` says, else in its default container:
    // individual containers shared by the dishes that use them, with one unit per diner; one
    // collective packaging per dish with the unit count of its capacity. A container a rule
    // names takes the dish alone or, individual, with the other dishes in it. With the fewest
    // containers, a dish whose default container is collective goes into the mix of collective
    // containers of ContainerMix instead, one packaging per container type, its amounts split
    // in proportion to the capacity each uses. Dishes without a container, or collective ones
    // without quantity per person or capacity, stay undistributed. Packagings get temporary
    // numbers -1, -2, ... in menu order.
    static Distribution automatic(const Menu& menu, double diners,
                                  const PackingChoice& choice = PackingChoice());
};

} // namespace pla
