#pragma once

#include <QStringList>
#include <optional>

namespace pla {

// The kitchen administrator's commands of pla-appserver: import, export, backup and copy.
// Exit codes: 0 done (or, with --dry-run, nothing wrong), 1 input refused (nothing stored),
// 2 bad command line, 3 stored but distributed menus kept as they were, 4 database or file
// failure.
class DataCommands {
public:
    // Runs the command named by arguments[1] and returns its exit code; nothing when
    // arguments[1] names none of them (the server then reads its own options).
    static std::optional<int> run(const QStringList& arguments);
};

} // namespace pla
