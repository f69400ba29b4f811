#pragma once

#include "appserver/storage/DistributionModel.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>

namespace pla {

// How a branch packs the distributions the server generates: its setting (every dish in its
// default container, or collective dishes in the fewest containers) and its packing rules per
// service, delivery point and dish.
class PackingPolicy {
public:
    // One packing rule; a blank service, point (client and destination) or dish means any.
    struct Rule {
        QString service, client, destination, dish, container;
    };

    // The setting and rules of `branch` as stored; with `service`, only the rules that can
    // apply to that service. Throws pla::StorageError.
    static PackingPolicy load(const QSqlDatabase& db, const QString& branch,
                              const QString& service = QString());

    void setFewestContainers(bool fewest) { fewest_ = fewest; }
    void add(const Rule& rule);

    // The container of the most specific rule for `dish` at a delivery point, among the rules
    // whose container has a capacity for the dish: point and dish, then point, then service
    // and dish, then service, then branch and dish (at one point, a rule that names the service
    // wins over one that does not). Empty when no rule applies.
    QString ruleContainer(const QString& service, const QString& client, const QString& destination,
                          const MenuDish& dish) const;
    // The packing of `menu` at a delivery point of `service`.
    PackingChoice choiceFor(const QString& service, const QString& client,
                            const QString& destination, const Menu& menu) const;

private:
    bool fewest_ = false;
    QHash<QString, QString> containers_; // container by service, client, destination and dish
};

} // namespace pla
