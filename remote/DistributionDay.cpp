#include "remote/DistributionDay.h"

#include "amounts/DishAmounts.h"

namespace pla {

int DayPackaging::LabelCount() const {
    return DishAmounts::LabelCount(units);
}

const DayService* DistributionDay::Service(const QString& code) const {
    for (const DayService& s : services)
        if (s.code == code) return &s;
    return nullptr;
}

} // namespace pla
