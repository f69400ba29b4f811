#pragma once

#include "framework/services/ScriptedDialogs.h"

#include <QDate>
#include <QString>
#include <ostream>

// Readable QString values in test failure output.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace pla::test {

// The process-wide set-up every screen test needs: a Qt application object (offscreen), the
// scripted dialog services, an error handler that shows failures as the front end does, and
// the general database with table FILIAL on an in-memory SQLite connection. A QApplication
// made before the first Install is used as it is.
class TestEnvironment {
public:
    // Installs everything once per process; later calls reset the dialogs and login context.
    static ScriptedDialogs& Install();
    // Login context for the next screen: branch, tie, server port, today.
    static void Login(const QString& branch, bool tied, int port,
                      const QDate& today = QDate(2026, 12, 8));
    // Replaces the rows of FILIAL.
    static void SetBranches(const QVector<QPair<QString, QString>>& rows);
};

} // namespace pla::test
