#include "distribution/DistributionCopy.h"

#include "amounts/DishAmounts.h"

#include <QHash>
#include <QPair>
#include <array>
#include <numeric>
#include <vector>

namespace pla {

namespace {

double Sum(const std::vector<double>& v) {
    return std::accumulate(v.cbegin(), v.cend(), 0.0);
}

// Today's amounts of one dish split over its rows of that day: [row][diners, quantity, extra].
std::vector<std::array<double, 3>> Shares(const CopyDish& dish,
                                          const QVector<const DayDish*>& places) {
    std::vector<double> weights[3];
    for (const DayDish* p : places) {
        weights[0].push_back(p->diners);
        weights[1].push_back(p->quantity);
        weights[2].push_back(p->extra);
    }
    const double today[3] = {dish.diners, dish.quantity, dish.extra};
    std::vector<std::array<double, 3>> parts(places.size());
    for (int k = 0; k < 3; ++k) {
        const std::vector<double>& w = Sum(weights[k]) > 0   ? weights[k]
                                       : Sum(weights[1]) > 0 ? weights[1]
                                                             : weights[0];
        const std::vector<double> split = DishAmounts::Split(today[k], w);
        for (std::size_t i = 0; i < split.size(); ++i)
            parts[i][k] = split[i];
    }
    return parts;
}

} // namespace

CopyPlan DistributionCopy::Plan(const QVector<DayPackaging>& source, const QVector<CopyDish>& menu,
                                double pointDiners, const Capacity& capacity) {
    QHash<QString, const CopyDish*> byCode;
    for (const CopyDish& d : menu)
        byCode.insert(d.code, &d);

    // Every row of each common dish, in the order of that day's packagings.
    QHash<QString, QVector<const DayDish*>> places;
    for (const DayPackaging& p : source)
        for (const DayDish& row : p.dishes)
            if (byCode.contains(row.code)) places[row.code].push_back(&row);

    CopyPlan plan;
    plan.commonDish = !places.isEmpty();
    QHash<const DayDish*, std::array<double, 3>> partOf;
    for (auto it = places.cbegin(); it != places.cend(); ++it) {
        const auto parts = Shares(*byCode.value(it.key()), it.value());
        for (int i = 0; i < it.value().size(); ++i)
            partOf.insert(it.value()[i], parts[i]);
    }

    QHash<QPair<QString, QString>, double> capacities;
    for (const DayPackaging& p : source) {
        CopiedPackaging copy{p.container, p.containerName, p.purpose, p.remark, 0, 0, {}};
        const bool collective = p.purpose == QLatin1String("C");
        for (const DayDish& row : p.dishes) {
            const auto part = partOf.constFind(&row);
            if (part == partOf.constEnd()) continue;
            const auto& [d, q, e] = *part;
            if (d == 0 && q == 0 && e == 0) continue;
            const CopyDish& dish = *byCode.value(row.code);
            const QPair<QString, QString> key{row.code, p.container};
            if (!capacities.contains(key)) capacities.insert(key, capacity(dish, p.container));
            const double c = capacities.value(key);
            if (c == 0) {
                plan.skipped << QStringLiteral("%1: sem relação de transporte com o container %2.")
                                    .arg(dish.name, p.container);
                continue;
            }
            if (collective && !(dish.perPerson > 0)) {
                plan.skipped
                    << QStringLiteral("%1: sem quantidade por pessoa na receita.").arg(dish.name);
                continue;
            }
            copy.rows.push_back({dish.sequence, d, q, e, c});
            if (collective) {
                copy.units += DishAmounts::UnitCount(q, e, c);
                copy.quantity = DishAmounts::Round5(copy.quantity + q);
            }
        }
        if (copy.rows.isEmpty()) continue;
        if (!collective) copy.units = pointDiners;
        plan.packagings.push_back(copy);
    }
    plan.skipped.removeDuplicates();
    return plan;
}

} // namespace pla
