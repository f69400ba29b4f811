#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

namespace pla {

// Statements of one connection prepared on first use and run again with new values: an
// import repeats the same few statements thousands of times.
class PreparedStatements {
public:
    explicit PreparedStatements(QSqlDatabase db);
    // Runs `sql` with `values` bound positionally; throws pla::StorageError.
    void exec(const QString& sql, const QVariantList& values);

private:
    QSqlDatabase db_;
    QHash<QString, QSqlQuery> statements_;
};

} // namespace pla
