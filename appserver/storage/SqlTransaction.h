#pragma once

#include <QSqlDatabase>

namespace pla {

class WriterQueue;

// One database transaction on a connection, rolled back unless committed.
// Write transactions take the write lock up front (SQLite BEGIN IMMEDIATE) so that two
// writers never dead-lock upgrading a read lock, and on SQLite they first queue up behind the
// other writers of this process (WriterQueue); read transactions see one snapshot.
class SqlTransaction {
public:
    enum class Mode { Read, Write };
    // Begins the transaction; throws pla::StorageError when it cannot.
    SqlTransaction(const QSqlDatabase& db, Mode mode);
    // Rolls back when neither commit() nor rollback() ran.
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;
    // Makes the work durable; throws pla::StorageError marked atCommit (the transaction is then
    // rolled back).
    void commit();
    // Discards the work.
    void rollback();

private:
    void leaveQueue();

    QSqlDatabase db_;
    bool open_ = false;
    WriterQueue* queue_ = nullptr; // held from begin to commit or rollback
};

} // namespace pla
