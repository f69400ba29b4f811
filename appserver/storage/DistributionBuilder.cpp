#include "appserver/storage/DistributionBuilder.h"

#include "amounts/DishAmounts.h"

#include <QHash>

namespace pla {

Distribution DistributionBuilder::undistributed(const Menu& menu, double diners) {
    Distribution d;
    d.menuNumber = menu.number;
    d.diners = diners;
    for (const MenuDish& m : menu.dishes) {
        UndistributedRow r;
        r.sequence = m.sequence;
        r.order = m.order;
        r.recipeBranch = m.recipeBranch;
        r.dish = m.dish;
        r.name = m.name;
        r.unit = m.unit;
        r.perPerson = m.perPerson;
        r.totalDiners = diners;
        // Diners and quantity per person lie within the input limits: the product is finite.
        r.totalQuantity = DishAmounts::QuantityFor(diners, m.perPerson).value_or(0);
        r.totalExtra = DishAmounts::Round5(m.extra);
        r.diners = r.totalDiners;
        r.quantity = r.totalQuantity;
        r.extra = r.totalExtra;
        d.undistributed.push_back(r);
    }
    return d;
}

Distribution DistributionBuilder::automatic(const Menu& menu, double diners) {
    Distribution d = undistributed(menu, diners);
    QHash<QString, qint64> individualByContainer;
    qint64 nextNumber = 0;
    for (int i = 0; i < d.undistributed.size(); ++i) {
        UndistributedRow& u = d.undistributed[i];
        const MenuDish& m = menu.dishes[i];
        if (m.defaultContainer.isEmpty()) continue;
        const bool collective = m.defaultPurpose == QLatin1String("C");
        if (collective && (m.perPerson <= 0 || m.defaultCapacity <= 0)) continue;

        qint64 packaging = 0;
        bool first = true;
        if (!collective && individualByContainer.contains(m.defaultContainer)) {
            packaging = individualByContainer.value(m.defaultContainer);
            first = false;
        } else {
            Packaging p;
            p.number = --nextNumber;
            p.container = m.defaultContainer;
            p.containerName = m.defaultContainerName;
            p.purpose = m.defaultPurpose;
            if (collective) {
                p.units = DishAmounts::UnitCount(u.quantity, u.extra, m.defaultCapacity);
                p.quantity = DishAmounts::Round5(u.quantity);
            } else {
                p.units = diners;
                individualByContainer.insert(m.defaultContainer, p.number);
            }
            packaging = p.number;
            d.packagings.push_back(p);
        }
        DishRow row;
        row.packaging = packaging;
        row.sequence = u.sequence;
        row.diners = u.diners;
        row.quantity = u.quantity;
        row.extra = u.extra;
        row.principal = first ? QStringLiteral("S") : QStringLiteral("N");
        row.capacity = m.defaultCapacity;
        d.rows.push_back(row);
        u.diners = 0;
        u.quantity = 0;
        u.extra = 0;
    }
    return d;
}

} // namespace pla
