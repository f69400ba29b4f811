#pragma once

#include "appserver/auth/SessionStore.h"
#include "appserver/http/HttpEndpoint.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <chrono>

namespace pla {

// Settings of one server instance, from the command line or set by an embedding host.
struct ServerOptions {
    QString host = QStringLiteral("127.0.0.1");
    int port = 8400;  // 0 picks a free port
    QString database; // SQLite path or postgresql://user@host:port/dbname
    // File whose first line is the PostgreSQL password (kept out of the command line); without
    // it libpq's own sources apply: PGPASSWORD, PGPASSFILE, the service file.
    QString databasePasswordFile;
    bool demo = false; // fill an empty database with demonstration data
    QDate today;       // the day demo menus are built around (invalid: the system date)
    int maxJsonDepth = 64;
    // How long a checked session (and the absence of users) is trusted without asking the
    // database again; 0 asks on every call.
    int credentialCacheMilliseconds = 2000;
    // How long a session opened by a login lasts (--session-hours, fractions allowed).
    std::chrono::seconds sessionLifetime = SessionStore::kLifetime;
    HttpEndpoint::Limits limits;
    QString tlsCertificate; // PEM files for HTTPS; both or neither
    QString tlsKey;
    QString tlsPriorities = QString::fromLatin1(HttpEndpoint::kTlsPriorities);
    bool noTls = false; // plain HTTP off loopback, asked for explicitly
    // Refuse a save or delete that does not carry the version it was made from: such a call
    // from an old client would overwrite a change made meanwhile without knowing it.
    bool requireVersion = false;

    // Outcome of reading a command line.
    enum class ParseResult { Run, Help, Error };
    // Reads `arguments` (program name first) into `out`; `message` receives the help text or
    // the Portuguese error.
    static ParseResult parse(const QStringList& arguments, ServerOptions& out, QString& message);
    // The --help text, in Portuguese, stating every limit with its default.
    static QString helpText();
    // The database used when none is given: a SQLite file in the user's data folder.
    static QString defaultDatabase();
    // True when `host` names only this machine (127.0.0.0/8, ::1, localhost).
    static bool isLoopback(const QString& host);
};

} // namespace pla
