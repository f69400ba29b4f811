#pragma once

#include "PostgresInstance.h"
#include "appserver/storage/DatabaseConfig.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace pla::test {

// The demo data of every test is built around this date (a Tuesday).
inline QDate demoToday() {
    return QDate(2026, 12, 8);
}

// Makes sure a QCoreApplication exists (Qt SQL needs one).
void ensureApplication();

// Storage back ends the storage tests run on.
enum class Backend { Sqlite, Postgres };

// A fresh database with the schema and the demo data (or only the schema, without `demo`), on
// SQLite (temporary file) or on a private PostgreSQL server started for the test run. `available()` is false when the
// back end cannot run here (then the test skips).
class TestDatabase {
public:
    explicit TestDatabase(Backend backend, bool demo = true);
    ~TestDatabase();
    bool available() const { return available_; }
    QString skipReason() const { return skipReason_; }
    // The address to give a server (--db).
    QString address() const;
    const DatabaseConfig& config() const { return config_; }
    // A connection for the calling thread (opened once).
    QSqlDatabase connection();

private:
    bool available_ = false;
    QString skipReason_;
    DatabaseConfig config_;
    QTemporaryDir dir_;
    QString connectionName_;
};

} // namespace pla::test
