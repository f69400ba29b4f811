#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <QVector>
#include <memory>
#include <mutex>
#include <thread>

namespace httplib {
class Server;
}
namespace pla {
class FixtureServer;
}

namespace pla::test {

// A loopback HTTP server for tests: answers JSON-RPC calls from a fixture (the same format
// the scenario runner reads) and records every request as it arrived on the wire.
class LoopbackServer {
public:
    struct Request {
        QString method;
        QJsonArray params;
    };

    // fixtureJson: {"branches": [...], "methods": {...}}.
    explicit LoopbackServer(const QByteArray& fixtureJson);
    ~LoopbackServer();

    // Starts on 127.0.0.1 on a free port (or the given one); returns the port.
    int Start(int port = 0);
    void Stop();
    int Port() const { return port_; }

    // Requests received, oldest first.
    QVector<Request> Requests() const;
    // How many requests named method arrived.
    int Count(const QString& method) const;
    // Params of every request of method, oldest first.
    QVector<QJsonArray> Params(const QString& method) const;
    void Reset();

    const FixtureServer& Fixture() const { return *fixture_; }

private:
    std::unique_ptr<FixtureServer> fixture_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    QVector<Request> requests_;
};

} // namespace pla::test
