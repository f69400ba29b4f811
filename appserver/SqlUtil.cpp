#include "appserver/SqlUtil.h"

#include "appserver/StorageError.h"

#include <QSqlError>

namespace pla {

QSqlQuery SqlUtil::exec(const QSqlDatabase& db, const QString& sql,
                        std::initializer_list<QVariant> values) {
    return execList(db, sql, QVariantList(values));
}

QSqlQuery SqlUtil::execList(const QSqlDatabase& db, const QString& sql,
                            const QVariantList& values) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw StorageError(QStringLiteral("%1 [%2]").arg(q.lastError().text(), sql));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) throw StorageError(QStringLiteral("%1 [%2]").arg(q.lastError().text(), sql));
    return q;
}

void SqlUtil::execPlain(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql)) throw StorageError(QStringLiteral("%1 [%2]").arg(q.lastError().text(), sql));
}

bool SqlUtil::isPostgres(const QSqlDatabase& db) {
    return db.driverName() == QLatin1String("QPSQL");
}

} // namespace pla
