#pragma once

#include "remote/DistributionDay.h"

class TNetConnection;

namespace pla {

// The client side of GetImpressaoDistribuicao: the whole print data of a branch day in one
// call, behind the busy animation, checked like every other remote method (a refusal or a
// malformed payload is shown and ends the action with Abort).
class DistributionDayReader {
public:
    // Reads branch's day on date through net; branchName is only carried along.
    static DistributionDay Read(TNetConnection& net, const QString& branch,
                                const QString& branchName, const QDate& date);
};

} // namespace pla
