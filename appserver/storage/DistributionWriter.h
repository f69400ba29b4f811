#pragma once

#include "appserver/storage/DistributionModel.h"
#include "appserver/storage/SqlBatch.h"

#include <QHash>

namespace pla {

// Writes the content of one distribution (undistributed dishes, packagings, dish rows) in
// set-based statements, a few per table whatever the number of rows. A save writes only the
// rows that differ from what is stored, so untouched rows keep their stored identity.
class DistributionWriter {
public:
    DistributionWriter(QSqlDatabase db, qint64 number);

    // Inserts every row of `d` into the distribution, whose content is empty.
    void insert(const Distribution& d);

    // The steps of a save, in this order. Rewrites the amounts of the dishes that changed.
    void updateUndistributed(const QVector<UndistributedRow>& stored,
                             const QVector<UndistributedRow>& now);
    // Deletes the stored dish rows that `now` no longer holds; `now` names packagings by the
    // client's numbers (positive: stored, negative: new).
    void removeRows(const QVector<DishRow>& stored, const QVector<DishRow>& now);
    // Deletes the packagings that are gone, rewrites the changed ones and inserts the new
    // ones; gives the stored number of every packaging of `now` by its client's number.
    QHash<qint64, qint64> writePackagings(const QVector<Packaging>& stored,
                                          const QVector<Packaging>& now);
    // Rewrites the dish rows that changed and inserts the new ones; `now` names packagings by
    // their stored numbers.
    void writeRows(const QVector<DishRow>& stored, const QVector<DishRow>& now);

private:
    QVector<qint64> insertPackagings(const QVector<const Packaging*>& added);
    void insertRows(const QVector<const DishRow*>& added);

    SqlBatch batch_;
    QVariant number_;
};

} // namespace pla
