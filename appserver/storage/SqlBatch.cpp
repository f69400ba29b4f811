#include "appserver/storage/SqlBatch.h"

#include "appserver/storage/StatementCache.h"
#include "appserver/storage/StorageError.h"

#include <QSqlQuery>
#include <algorithm>

namespace pla {

namespace {

// Rows go in chunks of a power of two, at most 256 rows and 30,000 values (SQLite takes up to
// 32,766 bound values, PostgreSQL 65,535): a handful of statement texts per table, each
// prepared once per connection, whatever the number of rows.
constexpr int kMaxValues = 30000;

int chunkRows(int remaining, int width) {
    int rows = 1;
    while (rows * 2 <= std::min(remaining, SqlBatch::kMaxRowsPerStatement) &&
           rows * 2 * width <= kMaxValues)
        rows *= 2;
    return rows;
}

QString placeholders(int width) {
    QStringList marks;
    for (int i = 0; i < width; ++i)
        marks << QStringLiteral("?");
    return QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString castPlaceholders(const QVector<SqlBatch::Column>& columns) {
    QStringList marks;
    for (const SqlBatch::Column& c : columns)
        marks << QStringLiteral("CAST(? AS %1)").arg(c.type);
    return QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
}

} // namespace

SqlBatch::SqlBatch(QSqlDatabase db) : db_(std::move(db)) {}

template <class Each>
void SqlBatch::chunked(const QString& head, const QString& row, const QString& tail,
                       const QVector<Row>& rows, const QVariantList& after, Each&& each) {
    if (rows.isEmpty()) return;
    const int width = std::max<int>(1, rows.first().size());
    for (int start = 0; start < rows.size();) {
        const int count = chunkRows(rows.size() - start, width);
        QString sql = head;
        sql.reserve(head.size() + count * (row.size() + 2) + tail.size());
        for (int i = 0; i < count; ++i) {
            if (i) sql += QStringLiteral(", ");
            sql += row;
        }
        sql += tail;
        QVariantList values;
        values.reserve(count * width + after.size());
        for (int i = start; i < start + count; ++i)
            values += rows[i];
        values += after;
        StatementCache::Use use = StatementCache::run(db_, sql, values);
        each(use.query());
        start += count;
    }
}

void SqlBatch::insert(const QString& table, const QStringList& columns, const QVector<Row>& rows) {
    chunked(QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                .arg(table, columns.join(QStringLiteral(", "))),
            placeholders(columns.size()), QString(), rows, {}, [](QSqlQuery&) {});
}

QVector<qint64> SqlBatch::insertReturning(const QString& table, const QStringList& columns,
                                          const QVector<Row>& rows, const QString& generated) {
    QVector<qint64> ids;
    ids.reserve(rows.size());
    chunked(QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                .arg(table, columns.join(QStringLiteral(", "))),
            placeholders(columns.size()), QStringLiteral(" RETURNING ") + generated, rows, {},
            [&](QSqlQuery& q) {
                // Neither database promises the order of RETURNING, but both number the rows
                // of one statement in the order of its VALUES, so ascending order is row order.
                const qsizetype first = ids.size();
                while (q.next())
                    ids.push_back(q.value(0).toLongLong());
                std::sort(ids.begin() + first, ids.end());
            });
    if (ids.size() != rows.size())
        throw StorageError(QStringLiteral("%1: %2 linhas incluídas, %3 números devolvidos")
                               .arg(table)
                               .arg(rows.size())
                               .arg(ids.size()),
                           QString());
    return ids;
}

void SqlBatch::update(const QString& table, const QVector<Column>& keys, const QVector<Column>& set,
                      const QVector<Row>& rows, const QString& scope, const QVariant& scopeValue) {
    QStringList assignments, matches;
    for (int i = 0; i < set.size(); ++i)
        assignments << QStringLiteral("%1 = v.column%2").arg(set[i].name).arg(keys.size() + i + 1);
    for (int i = 0; i < keys.size(); ++i)
        matches << QStringLiteral("%1.%2 = v.column%3").arg(table, keys[i].name).arg(i + 1);
    chunked(QStringLiteral("UPDATE %1 SET %2 FROM (VALUES ")
                .arg(table, assignments.join(QStringLiteral(", "))),
            castPlaceholders(keys + set),
            QStringLiteral(") AS v WHERE %1 AND %2.%3")
                .arg(matches.join(QStringLiteral(" AND ")), table, scope),
            rows, {scopeValue}, [](QSqlQuery&) {});
}

void SqlBatch::remove(const QString& table, const QVector<Column>& keys, const QVector<Row>& rows,
                      const QString& scope, const QVariant& scopeValue) {
    QStringList names;
    for (const Column& k : keys)
        names << k.name;
    chunked(QStringLiteral("DELETE FROM %1 WHERE (%2) IN (VALUES ")
                .arg(table, names.join(QStringLiteral(", "))),
            castPlaceholders(keys), QStringLiteral(") AND ") + scope, rows, {scopeValue},
            [](QSqlQuery&) {});
}

} // namespace pla
