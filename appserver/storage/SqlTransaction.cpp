#include "appserver/storage/SqlTransaction.h"

#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StorageError.h"
#include "appserver/storage/WriterQueue.h"

namespace pla {

SqlTransaction::SqlTransaction(const QSqlDatabase& db, Mode mode) : db_(db) {
    QString begin;
    if (SqlUtil::isPostgres(db_))
        begin = mode == Mode::Read ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ")
                                   : QStringLiteral("BEGIN");
    else if (mode == Mode::Read)
        begin = QStringLiteral("BEGIN");
    else {
        begin = QStringLiteral("BEGIN IMMEDIATE");
        queue_ = &WriterQueue::of(db_.databaseName());
        queue_->enter();
    }
    try {
        SqlUtil::execPlain(db_, begin);
    } catch (...) {
        leaveQueue();
        throw;
    }
    open_ = true;
}

void SqlTransaction::leaveQueue() {
    if (queue_) queue_->leave();
    queue_ = nullptr;
}

SqlTransaction::~SqlTransaction() {
    if (open_) {
        try {
            rollback();
        } catch (...) {
            // Nothing more can be done from a destructor; the connection drops the transaction.
        }
    }
}

void SqlTransaction::commit() {
    try {
        SqlUtil::execPlain(db_, QStringLiteral("COMMIT"));
        open_ = false;
        leaveQueue();
    } catch (StorageError& e) {
        e.markAtCommit();
        try {
            rollback();
        } catch (const StorageError&) {
            // The commit's own failure is the one to report.
        }
        throw;
    }
}

void SqlTransaction::rollback() {
    if (!open_) return;
    open_ = false;
    struct Leave {
        SqlTransaction* t;
        ~Leave() { t->leaveQueue(); }
    } leave{this};
    SqlUtil::execPlain(db_, QStringLiteral("ROLLBACK"));
}

} // namespace pla
