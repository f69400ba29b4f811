#pragma once

#include <QString>

namespace pla {

// The server's log: one line per event on standard error, with the time. Details the user is
// not shown (driver messages, statements) go here.
class ServerLog {
public:
    // Writes `text` as one line; safe from any thread.
    static void write(const QString& text);
};

} // namespace pla
