#pragma once

#include <QStringList>
#include <QTextStream>
#include <optional>

namespace pla {

// The operator's commands of pla-appserver besides serving:
//   user add LOGIN --name NOME --branch FILIAL [--tied]   user passwd LOGIN
//   user disable LOGIN   user list                            (each with [--db BANCO])
//   audit [--distribution N] [--branch B] [--since AAAA-MM-DD] [--json] [--db BANCO]
// Passwords are read from the terminal without echo (asked twice), or as one line from the
// standard input when it is not a terminal or --password-stdin is given.
class AdminCommands {
public:
    // Runs the command of `arguments` (program name first) when it names one; returns the
    // exit status (0 done, 1 refused or failed, 2 bad usage), nullopt when `arguments` are not
    // a command (the server runs). `in` is the standard input for passwords.
    static std::optional<int> run(const QStringList& arguments, QTextStream& in, QTextStream& out,
                                  QTextStream& err);
    // The usage text.
    static QString usage();
};

} // namespace pla
