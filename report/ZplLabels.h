#pragma once

#include "remote/DistributionDay.h"
#include "report/LabelLayout.h"
#include "report/LabelStock.h"

#include <QByteArray>
#include <QDateTime>

namespace pla {

// The packagings' labels in ZPL II for a thermal label printer: the same labels as on paper
// (LabelLayout, header labels of the delivery points included), one per label of a roll stock.
class ZplLabels {
public:
    // The resolutions label printers come in, dots per inch.
    static bool SupportedDpi(int dpi);
    // The ZPL, or empty with error set: the stock is not a roll, the resolution is not one of
    // 203 and 300 dpi, a dish or the producer lacks what a label must state, or the texts do
    // not fit the stock.
    static QByteArray Build(const DistributionDay& day,
                            const QVector<const DayPackaging*>& packagings, const LabelStock& stock,
                            int dpi, const QDateTime& prepared, QString& error,
                            const LabelSelection& selection = {});
};

} // namespace pla
