#pragma once

#include "framework/services/ServedGeneralDatabase.h"
#include "framework/ui/TComponent.h"
#include "host/desktop/HostOptions.h"
#include "host/desktop/ServerLogin.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace pla {

class EmbeddedServer;

// Everything a module relies on from its host, prepared from the options: the application
// server (the embedded reference server on a free loopback port, on a SQLite database created
// with demo data the first time, unless a server was given), the general database connection
// (the embedded server's file; with a server and no database, the server itself answers the
// branch queries), the login context and the module folder.
class HostSession {
public:
    explicit HostSession(const HostOptions& options);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Asks the user to log in to a server that requires it; nullopt when he gave up. `login`
    // is empty for the first login; when a session is renewed it is the user's, who then
    // only gives his password again, and `reason` is what the server said.
    using LoginPrompt = std::function<std::optional<LoginRecord>(
        ServerLogin& server, const QString& login, const QString& reason)>;

    // Prepares server, database and login context. A server that requires a login gets one
    // through `prompt`, and the login context then comes from the user's record on the
    // server; otherwise from the options. With a prompt, a session the server stops accepting
    // later is renewed through it in place (see TNetConnection::SetSessionRenewal). False
    // with a Portuguese message (what could not be done, and where) when the host cannot
    // work.
    bool Start(QString& message, const LoginPrompt& prompt = {});
    // Asks for the password again and takes the new session; false when the user gave up.
    bool RenewSession(const QString& reason);
    // The user logged in to the server, if it required a login.
    const std::optional<LoginRecord>& User() const { return user_; }
    // Loads and opens a module through the framework's loader; a missing module is reported to
    // the user in a box naming the file looked for. True when the module's entry ran.
    bool OpenModule(const QString& name, const QVariant& param = {});

    // "host:port" of the application server in use.
    QString ServerAddress() const;
    // The folder modules are loaded from.
    QString ModuleFolder() const { return moduleFolder_; }
    // The general database in use (file or address); empty when the application server
    // answers for it.
    QString Database() const { return database_; }

    // The folder to load modules from when none was given: the program's folder, or the
    // build tree's library folder beside it when the module lives there.
    static QString DefaultModuleFolder(const QString& module);

private:
    bool PrepareDatabaseFile(QString& message) const;
    bool OpenGeneralDatabase(QString& message);
    bool LogIn(QString& message, const LoginPrompt& prompt);

    HostOptions options_;
    std::unique_ptr<EmbeddedServer> server_;
    std::unique_ptr<ServedGeneralDatabase> servedDatabase_;
    QString database_;
    QString moduleFolder_;
    std::optional<LoginRecord> user_;
    LoginPrompt prompt_;
    bool renewing_ = false;
    TComponent mainWindow_;
};

} // namespace pla
