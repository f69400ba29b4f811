#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace pla::test {

// The pla-appserver executable as a child process on a free loopback port.
class ServerProcess {
public:
    ~ServerProcess() { kill(); }

    // Starts the server with demo data on `database`; returns the port once /health answers,
    // 0 on failure (`error` says why).
    int start(const QString& database, QString& error);
    // Same with further arguments and environment variables.
    int start(const QString& database, const QStringList& arguments,
              const QProcessEnvironment& environment, QString& error);
    // SIGKILL, then reap the process.
    void kill();
    // SIGTERM, the way a service is stopped, then wait until it ended; true when it did.
    bool terminate();
    qint64 pid() const { return process_.processId(); }
    // Everything the server wrote to standard output and standard error so far, waiting up to
    // `milliseconds` for more to arrive.
    QByteArray output(int milliseconds = 0);

private:
    QProcess process_;
    QByteArray output_;
};

} // namespace pla::test
