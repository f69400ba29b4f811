#pragma once

#include "framework/print/PrintPage.h"
#include "remote/DistributionDay.h"

#include <QStringList>
#include <QVector>

namespace pla::test {

// A branch day built in memory: one service, one delivery point, the packagings given, a
// producer with every item a label needs.
DistributionDay SmallDay(QVector<DayPackaging> packagings);
// A packaging of `units` units holding the named dishes (codes D1, D2 ... in order; 1 KG and
// 2 diners each; hot, 6 hours, no allergens).
DayPackaging Packaging(qint64 number, double units, const QStringList& dishes,
                       const QString& remark = {});
// The texts of a page's text commands, in order.
QStringList Texts(const PrintPage& page);

} // namespace pla::test
