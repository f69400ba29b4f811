#include "appserver/storage/ContainerMix.h"

#include "amounts/DishAmounts.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace pla {

namespace {

// Amounts are compared in whole steps of the fifth decimal, so that "holds" and "empty" are
// exact and never depend on binary fractions.
qint64 steps(double amount) {
    return std::llround(DishAmounts::Round5(amount) * 1e5);
}

// A search beyond this many steps only happens with many container types of nearly equal
// capacity (eight such types stop here after about 75 µs a dish); the best mix found by then
// still holds the amount in the fewest units.
constexpr int kSearchBudget = 20000;

struct Search {
    QVector<qint64> capacity; // per type, largest first
    QVector<qint64> room;     // capacity given up by a unit of the type instead of the largest
    qint64 units = 0;         // the fewest units that hold the amount
    qint64 slack = 0;         // what those units in the largest type leave empty
    int preferred = -1;

    QVector<qint64> count, best; // units per type
    qint64 bestGiven = -1;       // capacity given up by the best mix
    int budget = kSearchBudget;

    int types(const QVector<qint64>& units) const {
        return int(std::count_if(units.cbegin(), units.cend(), [](qint64 n) { return n > 0; }));
    }
    bool better(qint64 given) const {
        if (given != bestGiven) return given > bestGiven; // less empty capacity
        if (types(count) != types(best)) return types(count) < types(best);
        const bool usesPreferred = preferred >= 0 && count[preferred] > 0;
        const bool bestUsesPreferred = preferred >= 0 && best[preferred] > 0;
        if (usesPreferred != bestUsesPreferred) return usesPreferred;
        return count > best; // more units in the larger containers
    }
    // Chooses the units of type i onwards, `used` units and `given` capacity given up so far.
    void run(int i, qint64 used, qint64 given) {
        if (--budget < 0) return;
        if (i == capacity.size()) {
            count[0] = units - used;
            if (better(given)) {
                best = count;
                bestGiven = given;
            }
            return;
        }
        // Even every remaining unit in the smallest type cannot give up more than this.
        const qint64 reach = std::min(slack, given + (units - used) * room.last());
        if (reach < bestGiven) return;
        for (qint64 n = std::min(units - used, (slack - given) / room[i]); n >= 0; --n) {
            if (budget < 0) break;
            count[i] = n;
            run(i + 1, used + n, given + n * room[i]);
        }
        count[i] = 0;
    }
};

// `whole` steps apportioned to `parts` by the capacity each uses: whole steps by proportion,
// then the steps left over to the largest remainders, so that the shares add up to the whole;
// with `caps`, no share goes above its cap (the caps must add up to the whole or more).
QVector<qint64> apportion(qint64 whole, const QVector<ContainerMix::Part>& parts,
                          const QVector<qint64>& caps = {}) {
    QVector<qint64> share(parts.size(), 0);
    if (parts.isEmpty()) return share;
    QVector<__int128> weight;
    __int128 sum = 0;
    for (const ContainerMix::Part& p : parts) {
        weight.push_back(static_cast<__int128>(p.units) * steps(p.capacity));
        sum += weight.last();
    }
    if (sum <= 0 || whole <= 0) {
        share[0] = whole;
        return share;
    }
    QVector<__int128> remainder(parts.size());
    qint64 left = whole;
    for (int i = 0; i < parts.size(); ++i) {
        const __int128 scaled = static_cast<__int128>(whole) * weight[i];
        share[i] = static_cast<qint64>(scaled / sum);
        remainder[i] = scaled % sum;
        left -= share[i];
    }
    QVector<int> order(parts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return remainder[a] > remainder[b]; });
    for (qint64 before = -1; left > 0 && left != before;) {
        before = left;
        for (int i : order)
            if (left > 0 && (caps.isEmpty() || share[i] < caps[i])) {
                ++share[i];
                --left;
            }
    }
    return share;
}

QVector<double> amounts(const QVector<qint64>& steps) {
    QVector<double> out;
    for (qint64 s : steps)
        out.push_back(DishAmounts::Round5(s / 1e5));
    return out;
}

} // namespace

QVector<ContainerMix::Part> ContainerMix::choose(double quantity, double extra,
                                                 const QVector<Candidate>& candidates,
                                                 const QString& preferred) {
    const qint64 total = steps(quantity + extra);
    QVector<Candidate> types;
    for (const Candidate& c : candidates)
        if (steps(c.capacity) > 0) types.push_back(c);
    if (total <= 0 || types.isEmpty()) return {};
    // Of types with one capacity only one can be in the best mix (one type fewer, the same
    // units and room): the preferred one, else the first by code.
    std::sort(types.begin(), types.end(), [&](const Candidate& a, const Candidate& b) {
        const qint64 ca = steps(a.capacity), cb = steps(b.capacity);
        if (ca != cb) return ca > cb;
        if ((a.container == preferred) != (b.container == preferred))
            return a.container == preferred;
        return a.container < b.container;
    });
    types.erase(std::unique(types.begin(), types.end(),
                            [](const Candidate& a, const Candidate& b) {
                                return steps(a.capacity) == steps(b.capacity);
                            }),
                types.end());

    Search s;
    for (int i = 0; i < types.size(); ++i) {
        s.capacity.push_back(steps(types[i].capacity));
        s.room.push_back(s.capacity[0] - s.capacity[i]);
        if (types[i].container == preferred) s.preferred = i;
    }
    s.units = (total + s.capacity[0] - 1) / s.capacity[0];
    s.slack = s.units * s.capacity[0] - total;
    s.count.fill(0, types.size());
    s.best = s.count;
    s.run(1, 0, 0);

    QVector<Part> mix;
    for (int i = 0; i < types.size(); ++i)
        if (s.best[i] > 0) mix.push_back({types[i].container, types[i].capacity, s.best[i]});
    return mix;
}

QVector<double> ContainerMix::split(double amount, const QVector<Part>& parts) {
    return amounts(apportion(steps(amount), parts));
}

ContainerMix::Amounts ContainerMix::splitAmounts(double quantity, double extra,
                                                 const QVector<Part>& parts) {
    const qint64 wholeQuantity = steps(quantity);
    const QVector<qint64> totals = apportion(wholeQuantity + steps(extra), parts);
    const QVector<qint64> quantities = apportion(wholeQuantity, parts, totals);
    QVector<qint64> extras(parts.size());
    for (int i = 0; i < parts.size(); ++i)
        extras[i] = totals[i] - quantities[i];
    return {amounts(quantities), amounts(extras)};
}

} // namespace pla
