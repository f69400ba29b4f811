#pragma once

#include "appserver/storage/ConnectionPool.h"

#include <QSqlDatabase>
#include <QString>

namespace pla {

// A named connection of the command-line tools, opened with the server's settings and closed
// and removed however the caller leaves. Throws pla::StorageError when it cannot be opened.
class ScopedConnection {
public:
    ScopedConnection(const DatabaseConfig& config, const QString& name)
        : name_(name), db_(ConnectionPool::open(config, name)) {}
    ~ScopedConnection() {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    const QSqlDatabase& db() const { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
};

} // namespace pla
