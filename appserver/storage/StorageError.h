#pragma once

#include <QString>
#include <stdexcept>

namespace pla {

// A database operation failed (connection, SQL error, constraint); carries the driver's text,
// which belongs in the server's log and never in a message to the user.
class StorageError : public std::runtime_error {
public:
    // `code` is the driver's error code (PostgreSQL: the SQLSTATE), empty when unknown.
    explicit StorageError(const QString& message, QString code = {})
        : std::runtime_error(message.toStdString()), message_(message), code_(std::move(code)) {}
    // The driver's description of what failed, with the statement's purpose.
    const QString& message() const { return message_; }
    const QString& code() const { return code_; }
    // True for a deadlock or a serialization failure: the same work may succeed when run again.
    // A foreign-key violation is one too: a row looked up earlier in the transaction was
    // deleted by another server meanwhile, which the run again sees.
    bool isConflict() const {
        return code_ == QLatin1String("40001") || code_ == QLatin1String("40P01") ||
               code_ == QLatin1String("23503");
    }
    // True when the database could not grow: SQLite's SQLITE_FULL, PostgreSQL's disk_full.
    bool isDiskFull() const {
        return code_ == QLatin1String("13") || code_ == QLatin1String("53100");
    }
    // True when the failing statement was the COMMIT itself: with a lost connection it is then
    // unknown whether the work was stored.
    bool atCommit() const { return atCommit_; }
    StorageError& markAtCommit() {
        atCommit_ = true;
        return *this;
    }

private:
    QString message_;
    QString code_;
    bool atCommit_ = false;
};

} // namespace pla
