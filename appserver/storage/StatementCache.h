#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>

namespace pla {

// Statements prepared once per connection and run again with new values. Every call of the
// server runs the same few dozen statements; preparing one again costs SQLite a parse and
// PostgreSQL two more round trips (PREPARE before, DEALLOCATE after).
class StatementCache {
public:
    struct Entry;

    // A statement run through the cache. Its rows are released when it goes out of scope, and
    // SQLite's read snapshot with them, so a half-read result never holds a connection back.
    class Use {
    public:
        Use(Use&& other) noexcept;
        Use& operator=(Use&&) = delete;
        ~Use();
        bool next() { return query().next(); }
        QVariant value(int i) const { return query().value(i); }
        QSqlQuery& query() const;

    private:
        friend class StatementCache;
        explicit Use(std::shared_ptr<Entry> entry);
        std::shared_ptr<Entry> entry_;
    };

    // Runs `sql` on `db` with `values` bound positionally ("?"), through the statement that
    // connection prepared for it; throws pla::StorageError. A statement already in use (a
    // nested run of the same text) is prepared afresh instead. On PostgreSQL read a result to
    // its end before running another statement on the connection: the driver streams rows,
    // and the next statement ends a half-read result.
    static Use run(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
    // The statement `db` keeps for `sql`, prepared and not run: for a reader that binds and
    // steps it through the driver's own handle.
    static Use prepared(const QSqlDatabase& db, const QString& sql);
    // Drops the statements of `db`; called before the connection is closed or opened again.
    static void forget(const QSqlDatabase& db);

private:
    // Keeps `entry`, prepared for `sql`, for the next runs on `db`.
    static void keep(const QSqlDatabase& db, const QString& sql,
                     const std::shared_ptr<Entry>& entry);
};

} // namespace pla
