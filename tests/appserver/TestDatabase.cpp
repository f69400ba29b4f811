#include "TestDatabase.h"

#include "appserver/ConnectionPool.h"
#include "appserver/DemoData.h"
#include "appserver/Schema.h"
#include "appserver/SqlUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <arpa/inet.h>
#include <atomic>
#include <cstdlib>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pla::test {

namespace {

const QString kPgBin = QStringLiteral("/usr/lib/postgresql/15/bin");
std::atomic<int> databaseCounter{0};

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

// One PostgreSQL server per test run, started on first use and stopped at exit.
class PostgresServer {
public:
    static PostgresServer& instance() {
        static PostgresServer server;
        return server;
    }
    bool running() const { return running_; }
    QString error() const { return error_; }
    int port() const { return port_; }
    ~PostgresServer() {
        if (running_)
            runAsPostgres(QStringLiteral("pg_ctl"),
                          {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"),
                           QStringLiteral("immediate"), QStringLiteral("-w"),
                           QStringLiteral("stop")});
        if (!root_.isEmpty()) QDir(root_).removeRecursively();
    }

private:
    QString dataDir() const { return root_ + QStringLiteral("/data"); }
    PostgresServer() {
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
                            QStringLiteral("postgres"), QStringLiteral("--auth=trust"),
                            QStringLiteral("--no-sync"), QStringLiteral("-E"),
                            QStringLiteral("UTF8")},
                           &out)) {
            error_ = QStringLiteral("initdb failed: ") + out;
            return;
        }
        port_ = freePort();
        const QString options =
            QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off")
                .arg(port_)
                .arg(root_);
        if (!runAsPostgres(QStringLiteral("pg_ctl"),
                           {QStringLiteral("-D"), dataDir(), QStringLiteral("-o"), options,
                            QStringLiteral("-l"), root_ + QStringLiteral("/log"),
                            QStringLiteral("-w"), QStringLiteral("start")},
                           &out)) {
            error_ = QStringLiteral("pg_ctl start failed: ") + out;
            return;
        }
        running_ = true;
    }

    QString root_;
    QString error_;
    int port_ = 0;
    bool running_ = false;
};

} // namespace

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "appserver_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

bool postgresPossible() {
    return QFileInfo::exists(kPgBin + QStringLiteral("/initdb")) && ::geteuid() == 0 &&
           ::getpwnam("postgres") != nullptr;
}

TestDatabase::TestDatabase(Backend backend) {
    ensureApplication();
    connectionName_ = QStringLiteral("test_db_%1").arg(databaseCounter.fetch_add(1));
    if (backend == Backend::Sqlite) {
        config_ = DatabaseConfig::parse(dir_.filePath(QStringLiteral("test.sqlite")));
    } else {
        if (!postgresPossible()) {
            skipReason_ = QStringLiteral("PostgreSQL não disponível nesta máquina");
            return;
        }
        PostgresServer& server = PostgresServer::instance();
        if (!server.running()) {
            skipReason_ = server.error();
            return;
        }
        const QString name =
            QStringLiteral("pla_test_%1_%2").arg(::getpid()).arg(databaseCounter.fetch_add(1));
        {
            DatabaseConfig admin = DatabaseConfig::parse(
                QStringLiteral("postgresql://postgres@127.0.0.1:%1/postgres").arg(server.port()));
            QSqlDatabase db =
                ConnectionPool::open(admin, connectionName_ + QStringLiteral("_admin"));
            SqlUtil::execPlain(db, QStringLiteral("CREATE DATABASE %1").arg(name));
            db.close();
        }
        QSqlDatabase::removeDatabase(connectionName_ + QStringLiteral("_admin"));
        config_ = DatabaseConfig::parse(
            QStringLiteral("postgresql://postgres@127.0.0.1:%1/%2").arg(server.port()).arg(name));
    }
    QSqlDatabase db = connection();
    Schema::migrate(db);
    DemoData::fill(db, demoToday());
    available_ = true;
}

TestDatabase::~TestDatabase() {
    if (QSqlDatabase::contains(connectionName_)) {
        QSqlDatabase::database(connectionName_, false).close();
        QSqlDatabase::removeDatabase(connectionName_);
    }
}

QString TestDatabase::address() const {
    if (config_.kind == DatabaseConfig::Kind::Sqlite) return config_.path;
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(config_.user, config_.host)
        .arg(config_.port)
        .arg(config_.databaseName);
}

QSqlDatabase TestDatabase::connection() {
    if (QSqlDatabase::contains(connectionName_)) return QSqlDatabase::database(connectionName_);
    return ConnectionPool::open(config_, connectionName_);
}

} // namespace pla::test
