#pragma once

#include "appserver/ServerOptions.h"

#include <QDate>
#include <QString>
#include <memory>
#include <thread>

namespace pla {

class AppServer;

// The reference server run inside the calling process on a loopback port, for the desktop
// host and the scenario runner. A QCoreApplication must exist.
class EmbeddedServer {
public:
    EmbeddedServer();
    // Stops the server when it still runs.
    ~EmbeddedServer();
    EmbeddedServer(const EmbeddedServer&) = delete;
    EmbeddedServer& operator=(const EmbeddedServer&) = delete;

    // Starts on 127.0.0.1 at a free port with `database` (SQLite path or PostgreSQL address),
    // filling it with demo data built around `today` when `demo` is true and it is empty.
    // Returns the port once the server accepts connections; throws std::runtime_error with a
    // Portuguese message when it cannot start.
    int start(const QString& database, bool demo, const QDate& today = QDate());
    // Same with full options (host and port taken as given; port 0 picks a free one).
    int start(const ServerOptions& options);
    // Stops accepting, lets requests in progress finish, closes the database; idempotent.
    void stop();
    // The port while running, 0 otherwise.
    int port() const { return port_; }
    bool isRunning() const;
    // Test seam: see DistributionStore::WriteHook; effective for requests after the call.
    AppServer* server() const { return server_.get(); }

private:
    std::unique_ptr<AppServer> server_;
    std::thread thread_;
    int port_ = 0;
};

} // namespace pla
