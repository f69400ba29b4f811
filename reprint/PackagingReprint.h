#pragma once

#include "framework/print/PrintDocument.h"
#include "remote/DistributionDay.h"
#include "report/LabelStock.h"

#include <QDateTime>
#include <QList>

namespace pla {

// The reprint of some of one stored packaging's labels: the one place that decides where a
// reprint goes (today the label pages through the print output, as PLA15500 prints them).
class PackagingReprint {
public:
    // The labels of `units` of `packaging` (one of `day`'s), each numbered as in the whole
    // print ("2/4"), on `stock`, for food prepared at `prepared`; no pages and the reason in
    // `error` when the packaging's data does not allow a label or the texts do not fit.
    static PrintDocument Document(const DistributionDay& day, const DayPackaging& packaging,
                                  const QList<int>& units, const LabelStock& stock,
                                  const QDateTime& prepared, QString& error);
    // On the workstation's label printer when one is chosen and `stock` is a roll, otherwise
    // Document() through the print output: true when the job went out; false when the user
    // gave up. A label that cannot be made, or a printer that does not take the job, ends the
    // action with its message (Consiste::MensErro).
    static bool Print(const DistributionDay& day, const DayPackaging& packaging,
                      const QList<int>& units, const LabelStock& stock, const QDateTime& prepared);
};

} // namespace pla
