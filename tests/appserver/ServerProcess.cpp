#include "ServerProcess.h"

#include "TestDatabase.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <chrono>
#include <httplib.h>
#include <thread>

namespace pla::test {

int ServerProcess::start(const QString& database, QString& error) {
    return start(database, {}, QProcessEnvironment::systemEnvironment(), error);
}

int ServerProcess::start(const QString& database, const QStringList& arguments,
                         const QProcessEnvironment& environment, QString& error) {
    output_.clear();
    process_.setProgram(QStringLiteral(PLA_APPSERVER_EXE));
    process_.setArguments(QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                                      QStringLiteral("--db"), database, QStringLiteral("--demo"),
                                      QStringLiteral("--today"),
                                      demoToday().toString(QStringLiteral("yyyy-MM-dd"))} +
                          arguments);
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start();
    if (!process_.waitForStarted(5000)) {
        error = process_.errorString();
        return 0;
    }
    // The server prints its address once it is bound.
    static const QRegularExpression listening(QStringLiteral("http://[^:/]+:(\\d+)/"));
    const QDeadlineTimer deadline(15000);
    int port = 0;
    while (port == 0) {
        if (deadline.hasExpired() ||
            (!process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())) &&
             process_.state() != QProcess::Running)) {
            error = QStringLiteral("the server did not start: ") + QString::fromLocal8Bit(output());
            return 0;
        }
        const auto m = listening.match(QString::fromLocal8Bit(output()));
        if (m.hasMatch()) port = m.captured(1).toInt();
    }
    httplib::Client health("127.0.0.1", port);
    health.set_connection_timeout(1);
    while (!deadline.hasExpired()) {
        const auto res = health.Get("/health");
        if (res && res->status == 200) return port;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    error = QStringLiteral("/health never answered");
    return 0;
}

QByteArray ServerProcess::output(int milliseconds) {
    while (milliseconds > 0 && process_.waitForReadyRead(milliseconds))
        output_ += process_.readAll();
    output_ += process_.readAll();
    return output_;
}

bool ServerProcess::terminate() {
    if (process_.state() == QProcess::NotRunning) return true;
    process_.terminate();
    return process_.waitForFinished(10000);
}

void ServerProcess::kill() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(5000);
}

} // namespace pla::test
