#pragma once

#include "framework/print/PrintPage.h"
#include "remote/DistributionDay.h"

#include <QDateTime>
#include <QVector>

namespace pla {

// The packing list the driver carries, one per service and delivery point, on A4: the header
// (producer, branch, date and week day, service, client and delivery point) on every page,
// one block per packaging (number, container, units, two blank boxes for the temperatures at
// departure and arrival, each dish with its conservation, validity, diners, quantity and
// extra, the remark), never split across pages, then the totals per dish and per container, and a
// line for the receiver's signature; every page numbered "Página n de m" within its list.
class PackingListLayout {
public:
    // The lists of packagings (in order; consecutive packagings of one service and delivery
    // point make one list).
    // prepared: when the food was prepared, which the validities count from.
    static QVector<PrintPage> Pages(const DistributionDay& day,
                                    const QVector<const DayPackaging*>& packagings,
                                    const QDateTime& prepared);

    // Totals of one dish over a list's packagings.
    struct DishTotal {
        QString code, name, unit;
        int order = 0;
        double diners = 0, quantity = 0, extra = 0;
    };
    // Per dish (code and unit), in menu order.
    static QVector<DishTotal> DishTotals(const QVector<const DayPackaging*>& packagings);
};

} // namespace pla
