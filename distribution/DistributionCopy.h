#pragma once

#include "remote/DistributionDay.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace pla {

// A dish of the menu being distributed, with its whole amounts at the delivery point.
struct CopyDish {
    double sequence = 0;  // NRSEQPRATCAR
    QString code;         // CDPRATO: what ties it to the dish of the other day
    QString recipeBranch; // CDFILAUXPRAT, for the capacity
    QString name;
    double diners = 0, quantity = 0, extra = 0;
    double perPerson = 0;
};

// One dish going into a copied packaging.
struct CopiedRow {
    double sequence = 0;
    double diners = 0, quantity = 0, extra = 0;
    double capacity = 0; // of the packaging's container for the dish
};

// A packaging of the other day as the copy rebuilds it; its first row is the principal dish.
struct CopiedPackaging {
    QString container, containerName, purpose, remark;
    double units = 0;    // collective: recounted by capacity; individual: the point's diners
    double quantity = 0; // collective: the dish quantity it holds; individual: 0
    QVector<CopiedRow> rows;
};

struct CopyPlan {
    QVector<CopiedPackaging> packagings;
    // Dishes of the other day that could not go into a packaging, each with its reason.
    QStringList skipped;
    // Some dish of the other day is on this menu too.
    bool commonDish = false;
};

// Rebuilds a distribution from another day's distribution of the same service and delivery
// point: each packaging of that day again, with its container and remark, holding of each of
// its dishes that the menu also has (same dish code) the same share of the menu's amounts as
// it held of what that day's packagings held of the dish (60 % of the rice packed then is 60 %
// of today's rice). Diners, quantity and extra keep their shares each; an amount that day
// left wholly unpacked follows the shares of the quantity. The parts of a dish add up exactly
// to its amounts at five decimals; a dish that day lacked is left undistributed.
class DistributionCopy {
public:
    // The capacity of a container for a dish; 0 when the dish does not travel in it.
    using Capacity = std::function<double(const CopyDish& dish, const QString& container)>;

    // source: that day's packagings of the point, in their order; menu: the dishes being
    // distributed; pointDiners: the units of an individual packaging. capacity is asked once
    // per dish and container. A dish with no capacity in a container, or without a quantity
    // per person for a collective one, stays out of it (its part undistributed, the reason in
    // skipped); a packaging left empty is not copied.
    static CopyPlan Plan(const QVector<DayPackaging>& source, const QVector<CopyDish>& menu,
                         double pointDiners, const Capacity& capacity);
};

} // namespace pla
