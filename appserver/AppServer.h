#pragma once

#include "appserver/storage/DistributionStore.h"
#include "appserver/ServerOptions.h"

#include <memory>

namespace pla {

class ConnectionPool;
class HttpEndpoint;
class JsonRpcDispatcher;

// One complete server: database (schema migrated, demo data on request), JSON-RPC dispatch and
// the HTTP endpoint with one database connection per worker thread. A QCoreApplication must
// exist (Qt SQL needs it).
class AppServer {
public:
    explicit AppServer(ServerOptions options);
    // Stops serving and closes every connection.
    ~AppServer();
    AppServer(const AppServer&) = delete;
    AppServer& operator=(const AppServer&) = delete;

    // Opens the database from the calling thread, brings its schema up to date and, with
    // `demo`, fills it when it is empty; reads the TLS files. Throws std::runtime_error
    // (pla::StorageError or a Portuguese message for a bad database address, an unreadable TLS
    // file, or a listen address off loopback without the protection it needs).
    void prepare();
    // Binds the listening socket; returns the port (the chosen one when the options say 0).
    // Throws std::runtime_error when the address cannot be used.
    int bind();
    // Serves until stop(); returns false when serving failed. Every worker has ended and every
    // database connection is closed when it returns.
    bool serve();
    // Makes serve() return after the requests in progress; safe from any thread.
    void stop();
    // True while connections are accepted.
    bool isRunning() const;
    // The bound port, 0 before bind().
    int port() const { return port_; }
    const ServerOptions& options() const { return options_; }
    // The database in use, for messages: never the password. Empty before prepare().
    const QString& databaseDescription() const { return description_; }
    // True when the database has users, so every call needs credentials (a server without
    // users answers loopback callers only). Call after prepare(); throws pla::StorageError.
    bool usersExist();
    // Test seam forwarded to every save and generation (see DistributionStore::WriteHook).
    void setWriteHook(DistributionStore::WriteHook hook);

private:
    // Off loopback only with users (so calls need credentials) and, unless plain HTTP was
    // asked for, with TLS; throws std::runtime_error naming what is missing.
    void requireProtectionOffLoopback(bool usersExist) const;

    ServerOptions options_;
    std::unique_ptr<ConnectionPool> pool_;
    std::unique_ptr<JsonRpcDispatcher> dispatcher_;
    std::unique_ptr<HttpEndpoint> endpoint_;
    int port_ = 0;
    QString description_;
};

} // namespace pla
