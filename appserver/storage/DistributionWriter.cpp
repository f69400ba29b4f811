#include "appserver/storage/DistributionWriter.h"

#include <QSet>

namespace pla {

namespace {

using Column = SqlBatch::Column;
using Row = SqlBatch::Row;

const QString kBigint = QStringLiteral("BIGINT");
const QString kInteger = QStringLiteral("INTEGER");
const QString kReal = QStringLiteral("DOUBLE PRECISION");

const QString kScope = QStringLiteral("NRDISTCARD = ?");

// A missing remark is stored as NULL, an empty one as an empty text.
QVariant remarkValue(const QString& remark) {
    return remark.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(remark);
}

// Rows are rewritten when any stored value differs at all: what is stored is what was sent.
bool sameAmounts(const UndistributedRow& a, const UndistributedRow& b) {
    return a.perPerson == b.perPerson && a.totalQuantity == b.totalQuantity &&
           a.diners == b.diners && a.quantity == b.quantity && a.extra == b.extra;
}

bool samePackaging(const Packaging& a, const Packaging& b) {
    return a.container == b.container && a.units == b.units &&
           a.remark.isNull() == b.remark.isNull() && a.remark == b.remark &&
           a.quantity == b.quantity;
}

bool sameRow(const DishRow& a, const DishRow& b) {
    return a.diners == b.diners && a.quantity == b.quantity && a.extra == b.extra &&
           a.principal == b.principal && a.capacity == b.capacity;
}

using RowKey = QPair<qint64, int>; // packaging, dish sequence

QHash<RowKey, const DishRow*> byKey(const QVector<DishRow>& rows) {
    QHash<RowKey, const DishRow*> keyed;
    for (const DishRow& r : rows)
        keyed.insert({r.packaging, r.sequence}, &r);
    return keyed;
}

} // namespace

DistributionWriter::DistributionWriter(QSqlDatabase db, qint64 number)
    : batch_(std::move(db)), number_(QVariant::fromValue(number)) {}

void DistributionWriter::insert(const Distribution& d) {
    QVector<Row> dishes;
    for (const UndistributedRow& u : d.undistributed)
        dishes.push_back({number_, u.sequence, u.order, u.recipeBranch, u.dish, u.name, u.unit,
                          u.perPerson, u.totalDiners, u.totalQuantity, u.totalExtra, u.diners,
                          u.quantity, u.extra});
    batch_.insert(QStringLiteral("CARDDISP"),
                  {"NRDISTCARD", "NRSEQPRATCAR", "NRORDPRATCAR", "CDFILAUXPRAT", "CDPRATO",
                   "NMPRATO", "SGUNIDADE", "QTPORPESSOA", "QTTOTCOMENSAIS", "QTTOTPRATO",
                   "QTTOTEXTRA", "QTCOMENSAIS", "QTPRATO", "QTEXTRA"},
                  dishes);
    QVector<const Packaging*> packagings;
    for (const Packaging& p : d.packagings)
        packagings.push_back(&p);
    const QVector<qint64> ids = insertPackagings(packagings);
    QHash<qint64, qint64> numbers;
    for (int i = 0; i < ids.size(); ++i)
        numbers.insert(d.packagings[i].number, ids[i]);
    QVector<DishRow> rows = d.rows;
    QVector<const DishRow*> added;
    for (DishRow& r : rows) {
        r.packaging = numbers.value(r.packaging, r.packaging);
        added.push_back(&r);
    }
    insertRows(added);
}

void DistributionWriter::updateUndistributed(const QVector<UndistributedRow>& stored,
                                             const QVector<UndistributedRow>& now) {
    QHash<int, const UndistributedRow*> before;
    for (const UndistributedRow& u : stored)
        before.insert(u.sequence, &u);
    QVector<Row> changed;
    for (const UndistributedRow& u : now) {
        const UndistributedRow* s = before.value(u.sequence, nullptr);
        if (s && sameAmounts(*s, u)) continue;
        changed.push_back(
            {u.sequence, u.perPerson, u.totalQuantity, u.diners, u.quantity, u.extra});
    }
    batch_.update(QStringLiteral("CARDDISP"), {{"NRSEQPRATCAR", kInteger}},
                  {{"QTPORPESSOA", kReal},
                   {"QTTOTPRATO", kReal},
                   {"QTCOMENSAIS", kReal},
                   {"QTPRATO", kReal},
                   {"QTEXTRA", kReal}},
                  changed, kScope, number_);
}

void DistributionWriter::removeRows(const QVector<DishRow>& stored, const QVector<DishRow>& now) {
    const QHash<RowKey, const DishRow*> kept = byKey(now);
    QVector<Row> gone;
    for (const DishRow& r : stored)
        if (!kept.contains({r.packaging, r.sequence}))
            gone.push_back({QVariant::fromValue(r.packaging), r.sequence});
    batch_.remove(QStringLiteral("ITEMBDISTCARD"),
                  {{"NREMBDISTCARD", kBigint}, {"NRSEQPRATCAR", kInteger}}, gone, kScope, number_);
}

QHash<qint64, qint64> DistributionWriter::writePackagings(const QVector<Packaging>& stored,
                                                          const QVector<Packaging>& now) {
    QHash<qint64, const Packaging*> before;
    for (const Packaging& p : stored)
        before.insert(p.number, &p);
    QSet<qint64> kept;
    QHash<qint64, qint64> numbers;
    QVector<Row> changed;
    QVector<const Packaging*> added;
    for (const Packaging& p : now) {
        kept.insert(p.number);
        const Packaging* s = before.value(p.number, nullptr);
        if (!s) {
            added.push_back(&p);
            continue;
        }
        numbers.insert(p.number, p.number);
        if (!samePackaging(*s, p))
            changed.push_back({QVariant::fromValue(p.number), p.container, p.units,
                               remarkValue(p.remark), p.quantity});
    }
    QVector<Row> gone;
    for (const Packaging& p : stored)
        if (!kept.contains(p.number)) gone.push_back({QVariant::fromValue(p.number)});
    batch_.remove(QStringLiteral("EMBDISTCARD"), {{"NREMBDISTCARD", kBigint}}, gone, kScope,
                  number_);
    batch_.update(QStringLiteral("EMBDISTCARD"), {{"NREMBDISTCARD", kBigint}},
                  {{"CDCONTAINER", QStringLiteral("VARCHAR(5)")},
                   {"QTCONTAINER", kReal},
                   {"DSOBSETIQUETA", QStringLiteral("VARCHAR(250)")},
                   {"QTPRATO", kReal}},
                  changed, kScope, number_);
    const QVector<qint64> ids = insertPackagings(added);
    for (int i = 0; i < ids.size(); ++i)
        numbers.insert(added[i]->number, ids[i]);
    return numbers;
}

void DistributionWriter::writeRows(const QVector<DishRow>& stored, const QVector<DishRow>& now) {
    const QHash<RowKey, const DishRow*> before = byKey(stored);
    QVector<Row> changed;
    QVector<const DishRow*> added;
    for (const DishRow& r : now) {
        const DishRow* s = before.value({r.packaging, r.sequence}, nullptr);
        if (!s)
            added.push_back(&r);
        else if (!sameRow(*s, r))
            changed.push_back({QVariant::fromValue(r.packaging), r.sequence, r.diners, r.quantity,
                               r.extra, r.principal, r.capacity});
    }
    batch_.update(QStringLiteral("ITEMBDISTCARD"),
                  {{"NREMBDISTCARD", kBigint}, {"NRSEQPRATCAR", kInteger}},
                  {{"QTCOMENSAIS", kReal},
                   {"QTPRATO", kReal},
                   {"QTEXTRA", kReal},
                   {"IDPRINCIPAL", QStringLiteral("VARCHAR(1)")},
                   {"VRQTDEPRATEMB", kReal}},
                  changed, kScope, number_);
    insertRows(added);
}

QVector<qint64> DistributionWriter::insertPackagings(const QVector<const Packaging*>& added) {
    QVector<Row> rows;
    for (const Packaging* p : added)
        rows.push_back({number_, p->container, p->units, remarkValue(p->remark), p->quantity});
    return batch_.insertReturning(
        QStringLiteral("EMBDISTCARD"),
        {"NRDISTCARD", "CDCONTAINER", "QTCONTAINER", "DSOBSETIQUETA", "QTPRATO"}, rows,
        QStringLiteral("NREMBDISTCARD"));
}

void DistributionWriter::insertRows(const QVector<const DishRow*>& added) {
    QVector<Row> rows;
    for (const DishRow* r : added)
        rows.push_back({QVariant::fromValue(r->packaging), r->sequence, number_, r->diners,
                        r->quantity, r->extra, r->principal, r->capacity});
    batch_.insert(QStringLiteral("ITEMBDISTCARD"),
                  {"NREMBDISTCARD", "NRSEQPRATCAR", "NRDISTCARD", "QTCOMENSAIS", "QTPRATO",
                   "QTEXTRA", "IDPRINCIPAL", "VRQTDEPRATEMB"},
                  rows);
}

} // namespace pla
