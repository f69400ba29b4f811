#include "appserver/SqlTransaction.h"

#include "appserver/SqlUtil.h"
#include "appserver/StorageError.h"

namespace pla {

SqlTransaction::SqlTransaction(const QSqlDatabase& db, Mode mode) : db_(db) {
    QString begin;
    if (SqlUtil::isPostgres(db_))
        begin = mode == Mode::Read ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ")
                                   : QStringLiteral("BEGIN");
    else
        begin = mode == Mode::Read ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE");
    SqlUtil::execPlain(db_, begin);
    open_ = true;
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
    } catch (const StorageError&) {
        rollback();
        throw;
    }
}

void SqlTransaction::rollback() {
    if (!open_) return;
    open_ = false;
    SqlUtil::execPlain(db_, QStringLiteral("ROLLBACK"));
}

} // namespace pla
