#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <initializer_list>

namespace pla {

class StorageError;

// Small helpers that run bound statements and turn every failure into pla::StorageError.
class SqlUtil {
public:
    // Prepares `sql`, binds `values` positionally ("?") and executes it. The returned query is
    // positioned before the first row.
    static QSqlQuery exec(const QSqlDatabase& db, const QString& sql,
                          std::initializer_list<QVariant> values = {});
    // Same with the values in a list.
    static QSqlQuery execList(const QSqlDatabase& db, const QString& sql,
                              const QVariantList& values);
    // Runs a statement without parameters and without preparing it (DDL, pragmas, BEGIN).
    static void execPlain(const QSqlDatabase& db, const QString& sql);
    // The error of the last statement of `q`, running `sql`, with the driver's code.
    static StorageError failure(const QSqlQuery& q, const QString& sql);
    // True when the connection talks to PostgreSQL.
    static bool isPostgres(const QSqlDatabase& db);
};

} // namespace pla
