#pragma once

#include "appserver/storage/StatementCache.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3_stmt;
struct pg_result;

namespace pla {

// The rows of one kept statement, read in place. On SQLite it binds and steps the statement
// through SQLite's own interface and reads each value where SQLite holds it (no row cache, no
// QVariant), which is most of what a read of a distribution costs after the query itself. On
// PostgreSQL it reads a result libpq already holds (see ReadBatch), or else through the query.
class RowCursor {
public:
    // Runs `sql` on `db` with `values` bound positionally ("?"); throws pla::StorageError.
    RowCursor(const QSqlDatabase& db, const QString& sql, const QVariantList& values);
    // The rows of a statement's PostgreSQL results in text form, one after the other (one
    // result, or one per row in libpq's single-row mode), owned by the caller and outliving this.
    explicit RowCursor(const std::vector<pg_result*>& results);
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
    struct RecentTexts;
    void bind(const QVariantList& values);
    // The text whose stored form is `raw`, made by `make` or shared with an equal one read
    // before.
    template <class Make> QString recent(const void* raw, qsizetype bytes, Make make) const;

    std::optional<StatementCache::Use> use_;
    sqlite3_stmt* stmt_ = nullptr; // set: the rows come from SQLite's own statement
    const std::vector<pg_result*>* results_ = nullptr; // set: the rows come from libpq's results
    const pg_result* result_ = nullptr;                // the one holding the current row
    size_t part_ = 0;                                  // its index in results_
    int row_ = -1;                                     // in result_
    QString sql_;
    mutable std::unique_ptr<RecentTexts> recent_;
};

} // namespace pla
