#include "appserver/storage/SqlUtil.h"

#include "appserver/storage/StorageError.h"

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
    if (!q.prepare(sql)) throw failure(q, sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) throw failure(q, sql);
    return q;
}

void SqlUtil::execPlain(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql)) throw failure(q, sql);
}

StorageError SqlUtil::failure(const QSqlQuery& q, const QString& sql) {
    const QSqlError e = q.lastError();
    return StorageError(QStringLiteral("%1 [%2]").arg(e.text(), sql), e.nativeErrorCode());
}

bool SqlUtil::isPostgres(const QSqlDatabase& db) {
    return db.driverName() == QLatin1String("QPSQL");
}

} // namespace pla
