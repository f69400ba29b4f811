#pragma once

#include "framework/ui/TComponent.h"
#include "host/desktop/HostOptions.h"

#include <QString>
#include <QVariant>
#include <memory>

namespace pla {

class EmbeddedServer;

// Everything a module relies on from its host, prepared from the options: the application
// server (the embedded reference server on a free loopback port, on a SQLite database created
// with demo data the first time, unless a server was given), the general database connection
// (same file by default), the login context and the module folder.
class HostSession {
public:
    explicit HostSession(const HostOptions& options);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Prepares server, database and login context. False with a Portuguese message (what
    // could not be done, and where) when the host cannot work.
    bool Start(QString& message);
    // Loads and opens a module through the framework's loader; a missing module is reported to
    // the user in a box naming the file looked for. True when the module's entry ran.
    bool OpenModule(const QString& name, const QVariant& param = {});

    // "host:port" of the application server in use.
    QString ServerAddress() const;
    // The folder modules are loaded from.
    QString ModuleFolder() const { return moduleFolder_; }
    // The general database in use (file or address).
    QString Database() const { return database_; }

    // The folder to load modules from when none was given: the program's folder, or the
    // build tree's library folder beside it when the module lives there.
    static QString DefaultModuleFolder(const QString& module);

private:
    bool PrepareDatabaseFile(QString& message) const;
    bool OpenGeneralDatabase(QString& message);

    HostOptions options_;
    std::unique_ptr<EmbeddedServer> server_;
    QString database_;
    QString moduleFolder_;
    TComponent mainWindow_;
};

} // namespace pla
