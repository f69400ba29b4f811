#pragma once

#include "appserver/storage/StatementCache.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

struct sqlite3_stmt;

namespace pla {

// The rows of one kept statement, read in place. On SQLite it binds and steps the statement
// through SQLite's own interface and reads each value where SQLite holds it (no row cache, no
// QVariant), which is most of what a read of a distribution costs after the query itself; on
// other databases it reads through the query.
class RowCursor {
public:
    // Runs `sql` on `db` with `values` bound positionally ("?"); throws pla::StorageError.
    RowCursor(const QSqlDatabase& db, const QString& sql, const QVariantList& values);
    ~RowCursor();
    RowCursor(const RowCursor&) = delete;
    RowCursor& operator=(const RowCursor&) = delete;

    // Moves to the next row; false after the last. Throws pla::StorageError.
    bool next();
    bool isNull(int column) const;
    // A null value reads as a null text, and as 0 for the numbers.
    QString text(int column) const;
    double real(int column) const;
    qint64 integer(int column) const;

private:
    void bind(const QVariantList& values);

    StatementCache::Use use_;
    sqlite3_stmt* stmt_ = nullptr; // null: the rows come through the query
    QString sql_;
};

} // namespace pla
