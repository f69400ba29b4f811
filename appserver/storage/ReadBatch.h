#pragma once

#include "appserver/storage/RowCursor.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>
#include <vector>

namespace pla {

// Several reads answered from one snapshot, made as one. On PostgreSQL they are sent together
// through libpq's pipeline mode on the connection QtSql holds: one round trip for all of them,
// inside a REPEATABLE READ READ ONLY transaction opened and closed in the same round trip
// (or inside the caller's transaction). On SQLite they run inside one read transaction, each
// through its kept statement. Statements use "?" placeholders on both.
class ReadBatch {
public:
    explicit ReadBatch(const QSqlDatabase& db);
    // Ends the read transaction it opened, if still open.
    ~ReadBatch();
    ReadBatch(const ReadBatch&) = delete;
    ReadBatch& operator=(const ReadBatch&) = delete;

    // Adds a read; returns its index for rows(). Only before run().
    int add(const QString& sql, QVariantList values);
    // Runs every read added; throws pla::StorageError.
    void run();
    // The rows of read `i`, valid while the batch lives; read each one at most once.
    RowCursor& rows(int i);
    // Ends the read transaction (SQLite) once every row was read; throws pla::StorageError.
    void finish();

private:
    struct Read {
        QString sql;
        QVariantList values;
        std::unique_ptr<RowCursor> cursor;
    };
    struct Pipeline;

    void runPipelined(void* connection);
    void runOneByOne();
    void endSqliteTransaction();

    QSqlDatabase db_;
    std::vector<Read> reads_;
    std::unique_ptr<Pipeline> pipeline_; // PostgreSQL's results
    bool sqliteTransaction_ = false;     // a BEGIN of ours waits for its COMMIT
};

} // namespace pla
