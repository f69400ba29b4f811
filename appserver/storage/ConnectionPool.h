#pragma once

#include "appserver/storage/DatabaseConfig.h"

#include <QSqlDatabase>
#include <QString>
#include <map>
#include <mutex>
#include <thread>

namespace pla {

// Hands every thread its own open database connection (Qt SQL connections may only be used
// by the thread that opened them). Connections are named after the pool and the thread, so
// several pools (servers) can live in one process.
class ConnectionPool {
public:
    explicit ConnectionPool(DatabaseConfig config);
    // Closes and removes every connection; the threads that used them must have stopped
    // using them.
    ~ConnectionPool();
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // The calling thread's connection, opened (SQLite: WAL, synchronous FULL, busy time-out)
    // on first use; throws pla::StorageError when it cannot be opened.
    QSqlDatabase connection();
    // Closes and removes every connection of this pool.
    void closeAll();
    const DatabaseConfig& config() const { return config_; }

    // True when the database answers on the calling thread's connection (opening or replacing
    // it when needed); never throws. Cheap enough for a health check.
    bool ping();

    // Opens a connection named `name` on the calling thread with the settings above; throws
    // pla::StorageError. The caller removes it with QSqlDatabase::removeDatabase.
    static QSqlDatabase open(const DatabaseConfig& config, const QString& name);
    // True when `db` is open and answers a trivial query (outside any failed transaction).
    static bool alive(const QSqlDatabase& db);
    // Closes and opens `db` again with its settings, retrying with a back-off for about three
    // seconds; false when the database stays unreachable. Every copy of the handle (the pool's
    // too) uses the new connection.
    static bool reopen(QSqlDatabase& db);

private:
    // Per-connection settings (SQLite: WAL, synchronous FULL, foreign keys).
    static void configure(const QSqlDatabase& db);

    DatabaseConfig config_;
    QString prefix_;
    std::mutex mutex_;
    std::map<std::thread::id, QSqlDatabase> connections_;
    int serial_ = 0;
};

} // namespace pla
