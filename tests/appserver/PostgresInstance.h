#pragma once

#include <QString>

namespace pla::test {

// A private PostgreSQL server for tests: its own folder, a free loopback port, run as user
// postgres (which refuses to run as root). Stopped and removed with the object.
class PostgresInstance {
public:
    // Creates and starts the server. With `passwords`, connections over TCP must give a
    // password (SCRAM); the local socket stays open to user postgres without one.
    explicit PostgresInstance(bool passwords = false);
    ~PostgresInstance();
    PostgresInstance(const PostgresInstance&) = delete;
    PostgresInstance& operator=(const PostgresInstance&) = delete;

    bool running() const { return running_; }
    // Why the server does not run.
    QString error() const { return error_; }
    int port() const { return port_; }
    // Stops the server at once (connections are cut); start() brings it back on the same port.
    bool stop();
    bool start();
    // Runs one SQL statement as user postgres over the local socket.
    bool sql(const QString& statement, const QString& database = QStringLiteral("postgres"));

private:
    QString dataDir() const { return root_ + QStringLiteral("/data"); }

    QString root_;
    QString error_;
    int port_ = 0;
    bool running_ = false;
};

// True when PostgreSQL binaries exist and this process may start them (as user postgres).
bool postgresPossible();

} // namespace pla::test
