#pragma once

#include "remote/DistributionDay.h"
#include "report/LabelLayout.h"
#include "report/LabelPrinterChoice.h"

#include <QDateTime>
#include <QString>

namespace pla {

// Prints labels on a label printer in its own language: the labels of the packagings given
// (every unit, or the units selection names) as ZPL, sent raw to the printer of choice. The
// one way every screen prints to a label printer, so a job is judged the same everywhere.
class LabelPrinter {
public:
    // Prints through choice (by default the workstation's). Empty when the printer or its
    // queue took the whole job; otherwise the Portuguese reason nothing (or not all) was
    // printed: no printer chosen, a roll or resolution that is not one, labels the data does
    // not allow, the queue missing or refusing, the printer unreachable.
    static QString Print(const DistributionDay& day, const QVector<const DayPackaging*>& packagings,
                         const QDateTime& prepared, const LabelSelection& selection = {});
    static QString Print(const DistributionDay& day, const QVector<const DayPackaging*>& packagings,
                         const QDateTime& prepared, const LabelSelection& selection,
                         const LabelPrinterChoice& choice);
};

} // namespace pla
