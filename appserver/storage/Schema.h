#pragma once

#include <QSqlDatabase>
#include <QStringList>

namespace pla {

// The server's tables and their forward migrations. The version reached is kept in table
// SCHEMA_VERSION; each start applies the missing steps, each in one transaction.
class Schema {
public:
    // The version this build writes.
    static int currentVersion();
    // Brings the database up to currentVersion(); throws pla::StorageError on failure or when
    // the database was written by a newer build. Safe when several servers start at once.
    static void migrate(const QSqlDatabase& db);
    // The version stored in the database (0 when it has none yet).
    static int storedVersion(const QSqlDatabase& db);

private:
    static QStringList step(int version, bool postgres);
};

} // namespace pla
