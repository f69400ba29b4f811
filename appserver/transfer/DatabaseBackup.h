#pragma once

#include "appserver/storage/DatabaseConfig.h"

#include <QString>

namespace pla {

// A consistent copy of a SQLite database taken while servers keep working on it: the copy is
// one read snapshot (VACUUM INTO), written beside the target and renamed when complete, then
// opened and checked.
class DatabaseBackup {
public:
    struct Result {
        qint64 bytes = 0;
        int schemaVersion = 0;
    };
    // Copies `source` to the new file `target`; throws std::runtime_error with a Portuguese
    // message (an existing target, a PostgreSQL source, a failed copy or check).
    static Result run(const DatabaseConfig& source, const QString& target);
};

} // namespace pla
