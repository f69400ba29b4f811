#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <memory>
#include <mutex>
#include <thread>

namespace httplib {
class Server;
}

namespace pla {

// A loopback JSON-RPC server that answers the remote methods from a fixture file, so a
// scripted session exercises the real client connection end to end. For each call the first
// entry of its method whose "params" equal the call's (an entry without "params" matches any
// call) gives the result; a call with no entry gets a refusal naming the method and params.
class FixtureServer {
public:
    // Parses the fixture text. Throws std::runtime_error with the reason when it is not valid
    // JSON or not shaped as a fixture ("methods" an object of arrays of entries).
    explicit FixtureServer(const QByteArray& fixtureJson);
    ~FixtureServer();

    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    // Starts serving on 127.0.0.1 on a free port; returns the port.
    int Start();
    void Stop();
    int Port() const { return port_; }

    // Rows of the fixture's "branches": [code, name] pairs for table FILIAL.
    QJsonArray Branches() const { return branches_; }

    // The JSON-RPC result for one call (exposed for tests and for in-process use).
    QJsonValue Answer(const QString& method, const QJsonArray& params) const;

    // Handles one raw JSON-RPC request body and returns the response body.
    QByteArray Handle(const QByteArray& body) const;

private:
    QJsonObject methods_;
    QJsonArray branches_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
};

} // namespace pla
