#include "remote/DistributionDay.h"

#include <algorithm>
#include <cmath>

namespace pla {

int DayPackaging::LabelCount() const {
    // A unit count is whole on the screen; a stray fraction still needs its own container.
    return std::max(1, static_cast<int>(std::ceil(units - 1e-6)));
}

const DayService* DistributionDay::Service(const QString& code) const {
    for (const DayService& s : services)
        if (s.code == code) return &s;
    return nullptr;
}

} // namespace pla
