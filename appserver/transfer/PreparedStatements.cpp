#include "appserver/transfer/PreparedStatements.h"

#include "appserver/StorageError.h"

#include <QSqlError>

namespace pla {

PreparedStatements::PreparedStatements(QSqlDatabase db) : db_(std::move(db)) {}

void PreparedStatements::exec(const QString& sql, const QVariantList& values) {
    auto q = statements_.find(sql);
    if (q == statements_.end()) {
        QSqlQuery prepared(db_);
        if (!prepared.prepare(sql))
            throw StorageError(QStringLiteral("%1 [%2]").arg(prepared.lastError().text(), sql));
        q = statements_.insert(sql, prepared);
    }
    for (int i = 0; i < values.size(); ++i)
        q->bindValue(i, values[i]);
    if (!q->exec()) throw StorageError(QStringLiteral("%1 [%2]").arg(q->lastError().text(), sql));
}

} // namespace pla
