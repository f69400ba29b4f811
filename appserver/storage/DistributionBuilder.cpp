#include "appserver/storage/DistributionBuilder.h"

#include "amounts/DishAmounts.h"
#include "appserver/storage/ContainerMix.h"

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

Distribution DistributionBuilder::automatic(const Menu& menu, double diners,
                                            const PackingChoice& choice) {
    Distribution d = undistributed(menu, diners);
    QHash<QString, qint64> individualByContainer;
    qint64 nextNumber = 0;
    auto addPackaging = [&](const QString& container, const QString& name, const QString& purpose,
                            double units, double quantity) {
        Packaging p;
        p.number = --nextNumber;
        p.container = container;
        p.containerName = name;
        p.purpose = purpose;
        p.units = units;
        p.quantity = quantity;
        d.packagings.push_back(p);
        return p.number;
    };
    auto addRow = [&](qint64 packaging, int sequence, double rowDiners, double quantity,
                      double extra, bool principal, double capacity) {
        DishRow row;
        row.packaging = packaging;
        row.sequence = sequence;
        row.diners = rowDiners;
        row.quantity = quantity;
        row.extra = extra;
        row.principal = principal ? QStringLiteral("S") : QStringLiteral("N");
        row.capacity = capacity;
        d.rows.push_back(row);
    };

    for (int i = 0; i < d.undistributed.size(); ++i) {
        UndistributedRow& u = d.undistributed[i];
        const MenuDish& m = menu.dishes[i];
        DishContainer use{m.defaultContainer, m.defaultContainerName, m.defaultPurpose,
                          m.defaultCapacity};
        const DishContainer* ruled = m.container(choice.ruled.value(m.sequence));
        if (ruled) use = *ruled;
        if (use.code.isEmpty()) continue;
        const bool collective = use.purpose == QLatin1String("C");
        if (collective && m.perPerson <= 0) continue;

        if (collective && !ruled && choice.fewestContainers) {
            QVector<ContainerMix::Candidate> candidates;
            for (const DishContainer& c : m.containers)
                if (c.purpose == QLatin1String("C")) candidates.push_back({c.code, c.capacity});
            const QVector<ContainerMix::Part> mix =
                ContainerMix::choose(u.quantity, u.extra, candidates, m.defaultContainer);
            if (mix.isEmpty()) continue;
            const QVector<double> dinersParts = ContainerMix::split(u.diners, mix);
            const ContainerMix::Amounts parts =
                ContainerMix::splitAmounts(u.quantity, u.extra, mix);
            for (int k = 0; k < mix.size(); ++k) {
                const DishContainer* c = m.container(mix[k].container);
                const qint64 packaging = addPackaging(c->code, c->name, c->purpose,
                                                      double(mix[k].units), parts.quantity[k]);
                addRow(packaging, u.sequence, dinersParts[k], parts.quantity[k], parts.extra[k],
                       true, c->capacity);
            }
        } else if (collective) {
            if (use.capacity <= 0) continue;
            const qint64 packaging =
                addPackaging(use.code, use.name, use.purpose,
                             DishAmounts::UnitCount(u.quantity, u.extra, use.capacity),
                             DishAmounts::Round5(u.quantity));
            addRow(packaging, u.sequence, u.diners, u.quantity, u.extra, true, use.capacity);
        } else {
            const auto shared = individualByContainer.constFind(use.code);
            const bool first = shared == individualByContainer.cend();
            const qint64 packaging =
                first ? addPackaging(use.code, use.name, use.purpose, diners, 0) : *shared;
            if (first) individualByContainer.insert(use.code, packaging);
            addRow(packaging, u.sequence, u.diners, u.quantity, u.extra, first, use.capacity);
        }
        u.diners = 0;
        u.quantity = 0;
        u.extra = 0;
    }
    return d;
}

} // namespace pla
