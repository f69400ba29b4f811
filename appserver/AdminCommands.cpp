#include "appserver/AdminCommands.h"

#include "appserver/ServerOptions.h"
#include "appserver/auth/AuditTrail.h"
#include "appserver/auth/UserStore.h"
#include "appserver/rpc/Refusal.h"
#include "appserver/storage/ConnectionPool.h"
#include "appserver/storage/DatabaseConfig.h"
#include "appserver/storage/PrintRecord.h"
#include "appserver/storage/Schema.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <algorithm>
#include <termios.h>
#include <unistd.h>

namespace pla {

namespace {

const QString kConnection = QStringLiteral("pla_appserver_admin");

// Reads a password: from the terminal without echo, or one line of `in`.
QString readPassword(QTextStream& in, QTextStream& err, bool fromStdin) {
    if (fromStdin || !isatty(STDIN_FILENO)) return in.readLine();
    auto ask = [&](const QString& prompt) {
        err << prompt << Qt::flush;
        termios saved{};
        tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        const QString line = in.readLine();
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        err << "\n" << Qt::flush;
        return line;
    };
    const QString first = ask(QStringLiteral("Senha: "));
    if (ask(QStringLiteral("Repita a senha: ")) != first)
        throw Refusal(QStringLiteral("As senhas não conferem."));
    return first;
}

int userCommand(QCommandLineParser& p, const QStringList& rest, QSqlDatabase db, QTextStream& in,
                QTextStream& out, QTextStream& err) {
    UserStore users(db);
    const QString verb = rest.value(1);
    const QString login = rest.value(2).trimmed();
    if (verb == QLatin1String("list")) {
        out << QStringLiteral("%1  %2  %3  %4  %5\n")
                   .arg(QStringLiteral("Login"), -20)
                   .arg(QStringLiteral("Nome"), -30)
                   .arg(QStringLiteral("Filial"), -6)
                   .arg(QStringLiteral("Vinculado"), -9)
                   .arg(QStringLiteral("Ativo"));
        for (const UserRecord& u : users.list())
            out << QStringLiteral("%1  %2  %3  %4  %5\n")
                       .arg(u.login, -20)
                       .arg(u.name, -30)
                       .arg(u.branch, -6)
                       .arg(u.tied ? QStringLiteral("sim") : QStringLiteral("não"), -9)
                       .arg(u.active ? QStringLiteral("sim") : QStringLiteral("não"));
        return 0;
    }
    if (login.isEmpty() || rest.size() != 3) {
        err << AdminCommands::usage();
        return 2;
    }
    const bool fromStdin = p.isSet(QStringLiteral("password-stdin"));
    if (verb == QLatin1String("add")) {
        const UserRecord u{login, p.value(QStringLiteral("name")).trimmed(),
                           p.value(QStringLiteral("branch")).trimmed().toUpper(),
                           p.isSet(QStringLiteral("tied")), true};
        if (u.branch.isEmpty()) throw Refusal(QStringLiteral("Informe a filial com --branch."));
        users.add(u, readPassword(in, err, fromStdin));
        out << QStringLiteral("Usuário %1 criado.\n").arg(login);
        return 0;
    }
    if (verb == QLatin1String("passwd")) {
        users.setPassword(login, readPassword(in, err, fromStdin));
        out << QStringLiteral("Senha de %1 alterada; as sessões abertas foram encerradas.\n")
                   .arg(login);
        return 0;
    }
    if (verb == QLatin1String("disable")) {
        users.disable(login);
        out << QStringLiteral("Usuário %1 desativado.\n").arg(login);
        return 0;
    }
    err << AdminCommands::usage();
    return 2;
}

int auditCommand(QCommandLineParser& p, QSqlDatabase db, QTextStream& out, QTextStream& err) {
    AuditTrail::Filter filter;
    if (p.isSet(QStringLiteral("distribution"))) {
        bool ok = false;
        filter.number = p.value(QStringLiteral("distribution")).toLongLong(&ok);
        if (!ok) {
            err << QStringLiteral("Valor inválido para --distribution: %1\n")
                       .arg(p.value(QStringLiteral("distribution")));
            return 2;
        }
    }
    filter.branch = p.value(QStringLiteral("branch")).trimmed().toUpper();
    if (p.isSet(QStringLiteral("since"))) {
        filter.since =
            QDate::fromString(p.value(QStringLiteral("since")), QStringLiteral("yyyy-MM-dd"));
        if (!filter.since.isValid()) {
            err << QStringLiteral("Valor inválido para --since (use AAAA-MM-DD): %1\n")
                       .arg(p.value(QStringLiteral("since")));
            return 2;
        }
    }
    // The prints among the changes, in the order they happened: a save after a print is what
    // makes its labels stale.
    QVector<AuditEvent> events = AuditTrail(db).events(filter) + PrintRecord(db).events(filter);
    std::stable_sort(events.begin(), events.end(),
                     [](const AuditEvent& a, const AuditEvent& b) { return a.when < b.when; });
    if (p.isSet(QStringLiteral("json"))) {
        QJsonArray all;
        for (const AuditEvent& e : events)
            all.append(e.toJson());
        out << QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented));
    } else
        out << AuditTrail::table(events);
    return 0;
}

} // namespace

QString AdminCommands::usage() {
    return QStringLiteral(
        "Uso:\n"
        "  pla-appserver user add LOGIN --name NOME --branch FILIAL [--tied] [--password-stdin]\n"
        "  pla-appserver user passwd LOGIN [--password-stdin]\n"
        "  pla-appserver user disable LOGIN\n"
        "  pla-appserver user list\n"
        "  pla-appserver audit [--distribution N] [--branch FILIAL] [--since AAAA-MM-DD] "
        "[--json]\n"
        "Todos aceitam --db BANCO (padrão: o banco padrão do servidor). A senha é pedida no "
        "terminal, sem eco,\nou lida como uma linha da entrada padrão (--password-stdin ou "
        "entrada que não é um terminal).\n");
}

std::optional<int> AdminCommands::run(const QStringList& arguments, QTextStream& in,
                                      QTextStream& out, QTextStream& err) {
    const QString command = arguments.value(1);
    if (command != QLatin1String("user") && command != QLatin1String("audit")) return std::nullopt;
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* flag : {"tied", "password-stdin", "json"})
        p.addOption(QCommandLineOption(QString::fromLatin1(flag)));
    for (const char* valued : {"db", "name", "branch", "distribution", "since"})
        p.addOption(
            QCommandLineOption(QString::fromLatin1(valued), QString(), QStringLiteral("valor")));
    QStringList rest = arguments;
    rest.removeAt(1);
    if (!p.parse(rest)) {
        err << p.errorText() << "\n" << usage();
        return 2;
    }
    const QStringList positional = QStringList{command} + p.positionalArguments();
    if (command == QLatin1String("audit") && positional.size() != 1) {
        err << usage();
        return 2;
    }

    int status = 1;
    try {
        const DatabaseConfig config =
            DatabaseConfig::parse(p.isSet(QStringLiteral("db")) ? p.value(QStringLiteral("db"))
                                                                : ServerOptions::defaultDatabase());
        if (config.kind == DatabaseConfig::Kind::Sqlite)
            QDir().mkpath(QFileInfo(config.path).absolutePath());
        QSqlDatabase db = ConnectionPool::open(config, kConnection);
        try {
            Schema::migrate(db);
            status = command == QLatin1String("user") ? userCommand(p, positional, db, in, out, err)
                                                      : auditCommand(p, db, out, err);
        } catch (const Refusal& r) {
            err << r.message() << "\n";
        }
        db.close();
    } catch (const std::exception& e) {
        err << "pla-appserver: " << QString::fromUtf8(e.what()) << "\n";
    }
    QSqlDatabase::removeDatabase(kConnection);
    out.flush();
    err.flush();
    return status;
}

} // namespace pla
