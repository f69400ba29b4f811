#include "PostgresInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pla::test {

namespace {

const QString kPgBin = QStringLiteral("/usr/lib/postgresql/15/bin");

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    const int port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

bool runAsPostgres(const QString& program, const QStringList& args, QString* output = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("runuser"),
            QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"),
                        kPgBin + QLatin1Char('/') + program} +
                args);
    if (!p.waitForFinished(120000)) return false;
    if (output) *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

bool postgresPossible() {
    return QFileInfo::exists(kPgBin + QStringLiteral("/initdb")) && ::geteuid() == 0 &&
           ::getpwnam("postgres") != nullptr;
}

PostgresInstance::PostgresInstance(bool passwords) {
    if (!postgresPossible()) {
        error_ = QStringLiteral("PostgreSQL não disponível nesta máquina");
        return;
    }
    char pattern[] = "/tmp/pla-appserver-pg-XXXXXX";
    if (!::mkdtemp(pattern)) {
        error_ = QStringLiteral("mkdtemp failed");
        return;
    }
    root_ = QString::fromLocal8Bit(pattern);
    const passwd* pw = ::getpwnam("postgres");
    if (!pw || ::chown(pattern, pw->pw_uid, pw->pw_gid) != 0) {
        error_ = QStringLiteral("cannot hand the folder to user postgres");
        return;
    }
    QString out;
    if (!runAsPostgres(QStringLiteral("initdb"),
                       {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"),
                        QStringLiteral("postgres"), QStringLiteral("--auth-local=trust"),
                        passwords ? QStringLiteral("--auth-host=scram-sha-256")
                                  : QStringLiteral("--auth-host=trust"),
                        QStringLiteral("--no-sync"), QStringLiteral("-E"), QStringLiteral("UTF8")},
                       &out)) {
        error_ = QStringLiteral("initdb failed: ") + out;
        return;
    }
    port_ = freePort();
    start();
}

PostgresInstance::~PostgresInstance() {
    if (running_) stop();
    if (!root_.isEmpty()) QDir(root_).removeRecursively();
}

bool PostgresInstance::start() {
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off")
                                .arg(port_)
                                .arg(root_);
    QString out;
    if (!runAsPostgres(QStringLiteral("pg_ctl"),
                       {QStringLiteral("-D"), dataDir(), QStringLiteral("-o"), options,
                        QStringLiteral("-l"), root_ + QStringLiteral("/log"), QStringLiteral("-w"),
                        QStringLiteral("start")},
                       &out)) {
        error_ = QStringLiteral("pg_ctl start failed: ") + out;
        return false;
    }
    running_ = true;
    return true;
}

bool PostgresInstance::stop() {
    running_ = false;
    return runAsPostgres(QStringLiteral("pg_ctl"),
                         {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"),
                          QStringLiteral("immediate"), QStringLiteral("-w"),
                          QStringLiteral("stop")});
}

bool PostgresInstance::sql(const QString& statement, const QString& database) {
    QString out;
    const bool ok =
        runAsPostgres(QStringLiteral("psql"),
                      {QStringLiteral("-h"), root_, QStringLiteral("-p"), QString::number(port_),
                       QStringLiteral("-d"), database, QStringLiteral("-v"),
                       QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), statement},
                      &out);
    if (!ok) error_ = out;
    return ok;
}

} // namespace pla::test
