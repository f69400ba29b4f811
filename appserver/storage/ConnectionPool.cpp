#include "appserver/storage/ConnectionPool.h"

#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StatementCache.h"
#include "appserver/storage/StorageError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <chrono>

namespace pla {

namespace {
std::atomic<int> poolCounter{0};
}

ConnectionPool::ConnectionPool(DatabaseConfig config)
    : config_(std::move(config)),
      prefix_(QStringLiteral("pla_appserver_%1_").arg(poolCounter.fetch_add(1))) {}

ConnectionPool::~ConnectionPool() {
    closeAll();
}

QSqlDatabase ConnectionPool::open(const DatabaseConfig& config, const QString& name) {
    QSqlDatabase db = QSqlDatabase::addDatabase(config.driverName(), name);
    if (config.kind == DatabaseConfig::Kind::Sqlite) {
        db.setDatabaseName(config.path);
        // Concurrent writers wait for each other instead of failing at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=15000"));
    } else {
        db.setHostName(config.host);
        db.setPort(config.port);
        db.setUserName(config.user);
        db.setPassword(config.password);
        db.setDatabaseName(config.databaseName);
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    }
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw StorageError(
            QStringLiteral("Não foi possível abrir o banco %1: %2").arg(config.describe(), text));
    }
    configure(db);
    return db;
}

void ConnectionPool::configure(const QSqlDatabase& db) {
    if (SqlUtil::isPostgres(db)) return;
    // Qt's driver reads and binds every text as UTF-16: a database created in UTF-16 hands it
    // over as stored instead of converting each value (and allocating) on every read and
    // write. Only a new, empty database takes the setting; one created in UTF-8 stays so.
    SqlUtil::execPlain(db, QStringLiteral("PRAGMA encoding='UTF-16le'"));
    SqlUtil::execPlain(db, QStringLiteral("PRAGMA journal_mode=WAL"));
    SqlUtil::execPlain(db, QStringLiteral("PRAGMA synchronous=FULL"));
    SqlUtil::execPlain(db, QStringLiteral("PRAGMA foreign_keys=ON"));
    // A year of a chain is gigabytes: SQLite's default 2 MB of pages per connection leaves the
    // upper levels of the large indexes to be read again from the file on every call.
    SqlUtil::execPlain(db, QStringLiteral("PRAGMA cache_size=-16384"));
}

bool ConnectionPool::alive(const QSqlDatabase& db) {
    QSqlQuery q(db);
    return db.isOpen() && q.exec(QStringLiteral("SELECT 1")) && q.next();
}

bool ConnectionPool::reopen(QSqlDatabase& db) {
    // A restarting database refuses connections for a moment: try again with growing pauses,
    // about three seconds in all, before the call gives up.
    static constexpr int pausesMs[] = {0, 50, 100, 200, 400, 800, 1600};
    for (const int pause : pausesMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        StatementCache::forget(db);
        db.close();
        if (!db.open()) continue;
        try {
            configure(db);
            return true;
        } catch (const StorageError&) {
            // Lost again at once: the next pause gives it more time.
        }
    }
    return false;
}

bool ConnectionPool::ping() {
    try {
        QSqlDatabase db = connection();
        if (alive(db)) return true;
        // One quick attempt to replace a connection the database has dropped.
        StatementCache::forget(db);
        db.close();
        if (!db.open()) return false;
        configure(db);
        return alive(db);
    } catch (const StorageError&) {
        return false;
    }
}

QSqlDatabase ConnectionPool::connection() {
    const auto id = std::this_thread::get_id();
    QString name;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = connections_.find(id);
        if (it != connections_.end()) return it->second;
        name = prefix_ + QString::number(++serial_);
    }
    QSqlDatabase db = open(config_, name);
    std::lock_guard<std::mutex> lock(mutex_);
    connections_[id] = db;
    return db;
}

void ConnectionPool::closeAll() {
    std::map<std::thread::id, QSqlDatabase> all;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        all.swap(connections_);
    }
    for (auto& [id, db] : all) {
        const QString name = db.connectionName();
        StatementCache::forget(db);
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
}

} // namespace pla
