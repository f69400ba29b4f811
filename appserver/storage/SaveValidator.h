#pragma once

#include "appserver/storage/DistributionModel.h"

#include <QHash>
#include <QSqlDatabase>
#include <optional>

namespace pla {

// Checks the content a client sends to replace a stored distribution, before anything is
// written, and fills in the values the server owns instead of trusting the packet:
// - the totals of each dish (QTTOTCOMENSAIS, QTTOTEXTRA from the stored distribution,
//   QTTOTPRATO as those diners times the quantity per person);
// - the capacity of each dish row, from the server's own table of dishes and containers;
// - name and purpose of each container, and the quantity of each collective packaging (the
//   sum of its dish rows).
// A packet whose own values differ from these is refused. Run inside the save's transaction.
class SaveValidator {
public:
    SaveValidator(const QSqlDatabase& db, const Distribution& stored);

    // Throws pla::Refusal naming the dish or packaging at fault when the records break a rule:
    // every dish of the distribution exactly once, totals as stored, a quantity per person
    // changed only for a dish that was in no packaging, packagings of this distribution or new
    // ones with a registered container, every dish row in a packaging of the packet, one row
    // per dish and packaging, one dish per collective packaging, amounts conserved per dish,
    // packaging totals equal to their rows, at least one unit in a packaging with dishes (a
    // packaging without dishes may have none). On success the records hold the server's values.
    void check(QVector<UndistributedRow>& undistributed, QVector<Packaging>& packagings,
               QVector<DishRow>& rows);

private:
    QString dishName(int sequence) const;
    void checkDishes(QVector<UndistributedRow>& undistributed, const QVector<DishRow>& rows);
    QHash<qint64, Packaging*> checkPackagings(QVector<Packaging>& packagings);
    void checkRows(QVector<DishRow>& rows, const QHash<qint64, Packaging*>& byNumber);
    void checkConservation(const QVector<UndistributedRow>& undistributed,
                           const QVector<DishRow>& rows);
    void checkPackagingTotals(QVector<Packaging>& packagings, const QVector<DishRow>& rows);
    // VRQTDEPRATEMB of the dish in the container, 0 when the table has no such relation.
    double capacity(const UndistributedRow& dish, const QString& container);

    QSqlDatabase db_;
    const Distribution& stored_;
    QHash<int, const UndistributedRow*> storedDish_;
    // Capacity by dish sequence and container, for every dish of the distribution: read in
    // one query on first use.
    std::optional<QHash<QPair<int, QString>, double>> capacities_;
};

} // namespace pla
