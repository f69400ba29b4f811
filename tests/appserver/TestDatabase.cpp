#include "TestDatabase.h"

#include "appserver/storage/ConnectionPool.h"
#include "appserver/DemoData.h"
#include "appserver/storage/Schema.h"
#include "appserver/storage/SqlUtil.h"

#include <QCoreApplication>
#include <QSqlError>
#include <atomic>
#include <unistd.h>

namespace pla::test {

namespace {

std::atomic<int> databaseCounter{0};

// One PostgreSQL server per test run, started on first use and stopped at exit.
PostgresInstance& sharedPostgres() {
    static PostgresInstance server;
    return server;
}

} // namespace

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "appserver_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

TestDatabase::TestDatabase(Backend backend, bool demo) {
    ensureApplication();
    connectionName_ = QStringLiteral("test_db_%1").arg(databaseCounter.fetch_add(1));
    if (backend == Backend::Sqlite) {
        config_ = DatabaseConfig::parse(dir_.filePath(QStringLiteral("test.sqlite")));
    } else {
        if (!postgresPossible()) {
            skipReason_ = QStringLiteral("PostgreSQL não disponível nesta máquina");
            return;
        }
        PostgresInstance& server = sharedPostgres();
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
    if (demo) DemoData::fill(db, demoToday());
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
