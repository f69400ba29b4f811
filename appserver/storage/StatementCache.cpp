#include "appserver/storage/StatementCache.h"

#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StorageError.h"

#include <QHash>
#include <QSqlDriver>
#include <mutex>

namespace pla {

struct StatementCache::Entry {
    explicit Entry(const QSqlDatabase& db) : query(db) { query.setForwardOnly(true); }
    QSqlQuery query;
    bool busy = false;
};

namespace {

// Statements dynamic enough to vary without end (filters, chunk remainders) stop being kept
// past this many per connection.
constexpr int kMaxPerConnection = 200;

using Statements = QHash<QString, std::shared_ptr<StatementCache::Entry>>;

// Keyed by driver: a connection name can be reused by a later connection, a live driver
// cannot. An entry goes with its driver. Both live until the process ends, never destroyed:
// a connection still open at exit is destroyed after every static of this file, and its
// driver's last signal still reaches them.
std::mutex& mutex() {
    static auto* m = new std::mutex;
    return *m;
}
QHash<const QSqlDriver*, Statements>& connections() {
    static auto* c = new QHash<const QSqlDriver*, Statements>;
    return *c;
}

} // namespace

StatementCache::Use::Use(std::shared_ptr<Entry> entry) : entry_(std::move(entry)) {}

StatementCache::Use::Use(Use&& other) noexcept : entry_(std::move(other.entry_)) {}

StatementCache::Use::~Use() {
    if (!entry_) return;
    entry_->query.finish();
    entry_->busy = false;
}

QSqlQuery& StatementCache::Use::query() const {
    return entry_->query;
}

StatementCache::Use StatementCache::prepared(const QSqlDatabase& db, const QString& sql) {
    const QSqlDriver* driver = db.driver();
    std::shared_ptr<Entry> entry;
    {
        const std::lock_guard lock(mutex());
        const auto it = connections().constFind(driver);
        if (it != connections().cend()) {
            const auto found = it->constFind(sql);
            if (found != it->cend() && !(*found)->busy) entry = *found;
        }
        if (entry) entry->busy = true;
    }
    if (!entry) {
        entry = std::make_shared<Entry>(db);
        entry->busy = true;
        if (!entry->query.prepare(sql)) throw SqlUtil::failure(entry->query, sql);
        keep(db, sql, entry);
    }
    return Use(entry);
}

StatementCache::Use StatementCache::run(const QSqlDatabase& db, const QString& sql,
                                        const QVariantList& values) {
    Use use = prepared(db, sql);
    QSqlQuery& q = use.query();
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) throw SqlUtil::failure(q, sql);
    return use;
}

void StatementCache::keep(const QSqlDatabase& db, const QString& sql,
                          const std::shared_ptr<Entry>& entry) {
    const QSqlDriver* driver = db.driver();
    const std::lock_guard lock(mutex());
    auto it = connections().find(driver);
    if (it == connections().end()) {
        it = connections().insert(driver, {});
        QObject::connect(db.driver(), &QObject::destroyed, [driver] {
            Statements dropped;
            const std::lock_guard lock(mutex());
            dropped = connections().take(driver);
        });
    }
    if (it->size() < kMaxPerConnection && !it->contains(sql)) it->insert(sql, entry);
}

void StatementCache::forget(const QSqlDatabase& db) {
    Statements dropped;
    {
        const std::lock_guard lock(mutex());
        dropped = connections().take(db.driver());
    }
    // Destroyed outside the lock: on PostgreSQL each one deallocates its statement.
}

} // namespace pla
