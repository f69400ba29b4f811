#pragma once

#include "framework/print/PrintPage.h"
#include "remote/DistributionDay.h"
#include "report/LabelStock.h"

#include <QVector>

namespace pla {

// Packaging labels: one per container unit ("1/3", "2/3", "3/3"), filling the stock's pages
// row by row in the packagings' order. A label shows branch, date and week day, service,
// client and delivery point, container and packaging number, each dish with its diners and
// quantity per unit, the label remark in larger type, and a QR code of the packaging number.
class LabelLayout {
public:
    static QVector<PrintPage> Pages(const DistributionDay& day,
                                    const QVector<const DayPackaging*>& packagings,
                                    const LabelStock& stock);
    // Draws the label of unit (1-based) of packaging p into rect.
    static void Draw(PrintPage& page, const QRectF& rect, const DistributionDay& day,
                     const DayPackaging& p, int unit);
};

} // namespace pla
