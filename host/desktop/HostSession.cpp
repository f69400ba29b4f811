#include "host/desktop/HostSession.h"

#include "appserver/EmbeddedServer.h"
#include "framework/net/NetConnection.h"
#include "framework/services/ModuleLoader.h"
#include "framework/services/ServedGeneralDatabase.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Dispatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUrl>

namespace pla {

namespace {
bool IsPostgres(const QString& db) {
    return db.startsWith(QLatin1String("postgresql://")) ||
           db.startsWith(QLatin1String("postgres://"));
}
} // namespace

HostSession::HostSession(const HostOptions& options) : options_(options) {
    mainWindow_.SetName(QStringLiteral("frmPrincipal"));
}

HostSession::~HostSession() {
    if (prompt_) TNetConnection::SetSessionRenewal({});
    Zelvora::SetMainWindow(nullptr);
    const QString name = Zelvora::DatabaseConnectionName();
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    if (server_) server_->stop();
}

QString HostSession::DefaultModuleFolder(const QString& module) {
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString besideLib = QDir(appDir).absoluteFilePath(QStringLiteral("../lib"));
    if (!QFileInfo::exists(ModuleLoader::FileName(appDir, module)) &&
        QFileInfo::exists(ModuleLoader::FileName(besideLib, module)))
        return QDir::cleanPath(besideLib);
    return appDir;
}

QString HostSession::ServerAddress() const {
    return QStringLiteral("%1:%2").arg(Zelvora::WebURL).arg(Zelvora::WebPort);
}

bool HostSession::PrepareDatabaseFile(QString& message) const {
    const QFileInfo file(database_);
    const QString dir = file.absolutePath();
    if (!QDir().mkpath(dir)) {
        message =
            QStringLiteral("Não foi possível criar a pasta do banco de dados \"%1\".").arg(dir);
        return false;
    }
    const bool writable = file.exists() ? file.isWritable() : QFileInfo(dir).isWritable();
    if (!writable) {
        message = QStringLiteral("O banco de dados \"%1\" não pode ser gravado (sem permissão de "
                                 "escrita). Indique outro arquivo com --db.")
                      .arg(file.absoluteFilePath());
        return false;
    }
    return true;
}

bool HostSession::OpenGeneralDatabase(QString& message) {
    const QString name = Zelvora::DatabaseConnectionName();
    QSqlDatabase db;
    if (IsPostgres(database_)) {
        const QUrl url(database_);
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(url.host());
        if (url.port() > 0) db.setPort(url.port());
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(database_);
    }
    if (!db.open()) {
        message = QStringLiteral("Não foi possível abrir o banco de dados geral \"%1\": %2")
                      .arg(database_, db.lastError().text());
        return false;
    }
    return true;
}

bool HostSession::LogIn(QString& message, const LoginPrompt& prompt) {
    ServerLogin server(Zelvora::WebURL, Zelvora::WebPort);
    QString unreachable;
    switch (server.probe(unreachable)) {
    case ServerLogin::Need::Failure:
        // A server that cannot be asked (down now, or one that knows no login) is used as
        // before: the screen reports what its first call meets.
    case ServerLogin::Need::Nothing:
        return true;
    case ServerLogin::Need::Credentials:
        break;
    }
    user_ = prompt ? prompt(server, {}, {}) : std::nullopt;
    if (!user_) {
        message = QStringLiteral("O servidor de aplicação %1 exige login, e o login não foi "
                                 "feito.")
                      .arg(ServerAddress());
        return false;
    }
    TNetConnection::SetDefaultAuthorization(QStringLiteral("Bearer ") + user_->token);
    return true;
}

bool HostSession::RenewSession(const QString& reason) {
    // A call made while the prompt is open must not open a second one.
    if (!prompt_ || renewing_) return false;
    renewing_ = true;
    ServerLogin server(Zelvora::WebURL, Zelvora::WebPort);
    std::optional<LoginRecord> record = prompt_(server, user_ ? user_->login : QString(), reason);
    renewing_ = false;
    if (!record) return false;
    user_ = std::move(record);
    TNetConnection::SetDefaultAuthorization(QStringLiteral("Bearer ") + user_->token);
    return true;
}

bool HostSession::Start(QString& message, const LoginPrompt& prompt) {
    database_ = options_.database.isEmpty() && options_.Embedded() ? HostOptions::DefaultDatabase()
                                                                   : options_.database;
    if (!database_.isEmpty() && !IsPostgres(database_) && !PrepareDatabaseFile(message))
        return false;

    if (options_.Embedded()) {
        server_ = std::make_unique<EmbeddedServer>();
        try {
            const int port = server_->start(database_, true, Zelvora::Today());
            Zelvora::WebURL = QStringLiteral("127.0.0.1");
            Zelvora::WebPort = port;
        } catch (const std::exception& e) {
            message = QStringLiteral("Não foi possível iniciar o servidor de aplicação embutido "
                                     "com o banco \"%1\": %2")
                          .arg(database_, QString::fromUtf8(e.what()));
            server_.reset();
            return false;
        }
    } else {
        Zelvora::WebURL = options_.serverHost;
        Zelvora::WebPort = options_.serverPort;
        if (!LogIn(message, prompt)) return false;
        if (prompt) {
            prompt_ = prompt;
            TNetConnection::SetSessionRenewal(
                [this](const QString& reason) { return RenewSession(reason); });
        }
    }
    // Given a server and no database, the server answers the branch queries too: a
    // workstation then needs no database login of its own.
    if (database_.isEmpty())
        servedDatabase_ = std::make_unique<ServedGeneralDatabase>();
    else if (!OpenGeneralDatabase(message))
        return false;

    // A server's user record decides the branch and the tie, not the command line.
    Zelvora::FiliProc = user_ ? user_->branch : options_.branch;
    Zelvora::ModuFili = user_ ? user_->tied : options_.tied;
    Zelvora::SetMainWindow(&mainWindow_);
    moduleFolder_ = options_.moduleFolder.isEmpty() ? DefaultModuleFolder(options_.module)
                                                    : options_.moduleFolder;
    Zelvora::SetModuleFolder(moduleFolder_);
    return true;
}

bool HostSession::OpenModule(const QString& name, const QVariant& param) {
    bool opened = false;
    Dispatch([&] { opened = Zelvora::LoadBPL(name, param); });
    return opened;
}

} // namespace pla
