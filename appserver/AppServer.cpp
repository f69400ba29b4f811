#include "appserver/AppServer.h"

#include "appserver/storage/ConnectionPool.h"
#include "appserver/DemoData.h"
#include "appserver/http/HttpEndpoint.h"
#include "appserver/rpc/JsonRpcDispatcher.h"
#include "appserver/storage/Schema.h"
#include "appserver/auth/UserStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <atomic>
#include <stdexcept>

namespace pla {

namespace {

std::atomic<int> prepareCounter{0};

QByteArray readPem(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Não foi possível ler %1: %2.")
                                     .arg(path, f.errorString())
                                     .toStdString());
    return f.readAll();
}

} // namespace

void AppServer::requireProtectionOffLoopback(bool users) const {
    if (ServerOptions::isLoopback(options_.host)) return;
    if (!users)
        throw std::runtime_error(
            QStringLiteral("Escutar em %1, fora do endereço local, exige usuários cadastrados "
                           "(o acesso sem login só vale no próprio computador). Cadastre o "
                           "primeiro usuário com \"pla-appserver user add\".")
                .arg(options_.host)
                .toStdString());
    if (!options_.noTls && (options_.tlsCertificate.isEmpty() || options_.tlsKey.isEmpty()))
        throw std::runtime_error(
            QStringLiteral("Escutar em %1, fora do endereço local, exige HTTPS: informe "
                           "--tls-cert e --tls-key (ou --no-tls para aceitar HTTP sem "
                           "criptografia).")
                .arg(options_.host)
                .toStdString());
}

AppServer::AppServer(ServerOptions options) : options_(std::move(options)) {}

AppServer::~AppServer() {
    stop();
    endpoint_.reset();
    if (pool_) pool_->closeAll();
}

void AppServer::prepare() {
    DatabaseConfig config;
    try {
        config = DatabaseConfig::parse(
            options_.database.isEmpty() ? ServerOptions::defaultDatabase() : options_.database);
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(e.what());
    }
    if (!options_.databasePasswordFile.isEmpty()) {
        QFile file(options_.databasePasswordFile);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(
                QStringLiteral("Não foi possível ler o arquivo de senha do banco %1: %2")
                    .arg(options_.databasePasswordFile, file.errorString())
                    .toStdString());
        config.password =
            QString::fromUtf8(file.readLine()).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    }
    description_ = config.describe();
    if (config.kind == DatabaseConfig::Kind::Sqlite)
        QDir().mkpath(QFileInfo(config.path).absolutePath());
    const QString name =
        QStringLiteral("pla_appserver_prepare_%1").arg(prepareCounter.fetch_add(1));
    {
        QSqlDatabase db = ConnectionPool::open(config, name);
        try {
            Schema::migrate(db);
            if (options_.demo)
                DemoData::fill(db,
                               options_.today.isValid() ? options_.today : QDate::currentDate());
            requireProtectionOffLoopback(UserStore(db).anyUsers());
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);

    pool_ = std::make_unique<ConnectionPool>(config);
    ConnectionPool* pool = pool_.get();
    dispatcher_ = std::make_unique<JsonRpcDispatcher>([pool] { return pool->connection(); },
                                                      options_.maxJsonDepth,
                                                      options_.credentialCacheMilliseconds);
    dispatcher_->setSessionLifetime(options_.sessionLifetime);
    JsonRpcDispatcher* dispatcher = dispatcher_.get();
    dispatcher->setRequireVersion(options_.requireVersion);
    HttpEndpoint::Tls tls;
    if (!options_.tlsCertificate.isEmpty()) {
        tls.certificate = readPem(options_.tlsCertificate);
        tls.key = readPem(options_.tlsKey);
        tls.priorities = options_.tlsPriorities.toUtf8();
    }
    endpoint_ = std::make_unique<HttpEndpoint>(
        [dispatcher](const QByteArray& body, const RequestContext& context) {
            return dispatcher->handle(body, context);
        },
        [pool] { return pool->ping(); }, options_.limits, tls);
}

int AppServer::bind() {
    if (!endpoint_) throw std::runtime_error("O servidor não foi preparado.");
    port_ = endpoint_->bind(options_.host, options_.port);
    if (port_ < 0) {
        port_ = 0;
        throw std::runtime_error(
            QStringLiteral("Não foi possível escutar em %1:%2%3.")
                .arg(options_.host)
                .arg(options_.port)
                .arg(options_.tlsCertificate.isEmpty()
                         ? QString()
                         : QStringLiteral(" (verifique também o certificado e a chave TLS)"))
                .toStdString());
    }
    return port_;
}

bool AppServer::serve() {
    if (!endpoint_) return false;
    const bool ok = endpoint_->serve();
    pool_->closeAll();
    return ok;
}

void AppServer::stop() {
    if (endpoint_) endpoint_->stop();
}

bool AppServer::isRunning() const {
    return endpoint_ && endpoint_->isRunning();
}

bool AppServer::usersExist() {
    if (!pool_) throw std::runtime_error("O servidor não foi preparado.");
    return UserStore(pool_->connection()).anyUsers();
}

void AppServer::setWriteHook(DistributionStore::WriteHook hook) {
    if (dispatcher_) dispatcher_->setWriteHook(std::move(hook));
}

} // namespace pla
