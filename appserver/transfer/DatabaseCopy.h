#pragma once

#include "appserver/storage/DatabaseConfig.h"

#include <QString>

namespace pla {

// Moves a whole SQLite database into an empty PostgreSQL database: the schema at this build's
// version, every row of every table in one transaction, and the number generators set past the
// copied numbers so new distributions and packagings never collide with old ones.
class DatabaseCopy {
public:
    struct Result {
        int tables = 0;
        qint64 rows = 0;
        int schemaVersion = 0;
    };
    // Throws std::runtime_error with a Portuguese message: a source that is not SQLite, a
    // target that is not PostgreSQL or already holds rows, a failed copy (nothing kept then).
    static Result run(const DatabaseConfig& from, const DatabaseConfig& to);
};

} // namespace pla
