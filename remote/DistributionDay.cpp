#include "remote/DistributionDay.h"

#include "amounts/DishAmounts.h"

#include <QHash>
#include <algorithm>
#include <tuple>

namespace pla {

int DayPackaging::LabelCount() const {
    return DishAmounts::LabelCount(units);
}

QVector<const DayPackaging*> InLoadingOrder(QVector<const DayPackaging*> packagings) {
    QHash<QString, std::optional<int>> order;
    for (const DayPackaging* p : packagings) {
        std::optional<int>& o = order[p->PointKey()];
        if (p->deliveryOrder && (!o || *p->deliveryOrder < *o)) o = p->deliveryOrder;
    }
    std::stable_sort(
        packagings.begin(), packagings.end(), [&](const DayPackaging* a, const DayPackaging* b) {
            const std::optional<int>& oa = order[a->PointKey()];
            const std::optional<int>& ob = order[b->PointKey()];
            if (oa.has_value() != ob.has_value()) return oa.has_value();
            if (oa && *oa != *ob) return *oa < *ob;
            return std::tie(a->client, a->destination) < std::tie(b->client, b->destination);
        });
    return packagings;
}

const DayService* DistributionDay::Service(const QString& code) const {
    for (const DayService& s : services)
        if (s.code == code) return &s;
    return nullptr;
}

} // namespace pla
