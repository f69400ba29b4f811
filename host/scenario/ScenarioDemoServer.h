#pragma once

#include <QDate>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace pla {

class EmbeddedServer;

// The reference application server on a fresh demo database in a temporary folder, for
// "server demo": every scenario starts from the same data, and nothing it saves outlives it.
class ScenarioDemoServer {
public:
    // Starts at once; throws ScenarioFailure when the server cannot start.
    explicit ScenarioDemoServer(const QDate& today);
    ~ScenarioDemoServer();

    int Port() const;
    // The SQLite file, also opened as the general database (table FILIAL).
    QString DatabaseFile() const { return file_; }

private:
    QTemporaryDir dir_;
    QString file_;
    std::unique_ptr<EmbeddedServer> server_;
};

} // namespace pla
