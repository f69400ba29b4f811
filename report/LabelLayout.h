#pragma once

#include "framework/print/PrintPage.h"
#include "remote/DistributionDay.h"
#include "report/LabelContents.h"
#include "report/LabelStock.h"

#include <QDateTime>
#include <QVector>

namespace pla {

// Which labels of the packagings given are printed.
struct LabelSelection {
    QList<int> units;         // only these unit numbers ("2" of "1/3"…"3/3"); empty: every one
    bool pointHeaders = true; // a header label begins each delivery point's labels
};

// Packaging labels: one per container unit ("1/3", "2/3", "3/3"), filling the stock's pages
// row by row in the packagings' order; each run of one delivery point's packagings begins with
// a header label ("Ponto: CLIENTE · DESTINO — N volumes") so a loader sees where a stop ends. The
// upper part shows branch, date and week day, service, client and delivery point, packaging number
// and container, each dish with its diners and quantity per unit and the label remark, beside a QR
// code of the packaging number with the unit count under it; the lower part, across the whole
// label, the texts the law asks for (LabelContents). Those are never cut: the whole label takes the
// largest type, from 9 pt down to 5 pt, at which they fit, and only the dishes and the remark
// shrink further.
class LabelLayout {
public:
    // The pages, or none with error set when a packaging's required texts do not fit the
    // stock at 5 pt; the error names the stock and the stocks they fit. units: only these
    // units of each packaging (a reprint); empty: all of them.
    static QVector<PrintPage> Pages(const DistributionDay& day,
                                    const QVector<const DayPackaging*>& packagings,
                                    const LabelStock& stock, const QDateTime& prepared,
                                    QString& error, const LabelSelection& selection = {});
};

} // namespace pla
