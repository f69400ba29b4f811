#pragma once

#include "framework/data/DataPacket.h"

#include <QSqlDatabase>
#include <QString>

namespace pla::test {

// The services packet of a branch generation with one service ticked.
TDataPacket tickedServices(const QString& branch, const QString& service);

// Fails the running test unless every distribution in the database is whole: per dish
// undistributed plus placed equals the totals, every dish row lies in a packaging of its own
// distribution, nothing hangs without its header, and each header has all its menu's dishes.
void checkEveryDistribution(const QSqlDatabase& db);

} // namespace pla::test
