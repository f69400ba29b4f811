#include "appserver/ServerOptions.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <arpa/inet.h>
#include <cmath>

namespace pla {

QString ServerOptions::defaultDatabase() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty()) dir = QDir::currentPath();
    return dir + QStringLiteral("/pla-appserver/pla-appserver.sqlite");
}

bool ServerOptions::isLoopback(const QString& host) {
    const QByteArray h = host.toLatin1();
    if (h.compare("localhost", Qt::CaseInsensitive) == 0) return true;
    in_addr v4{};
    if (::inet_pton(AF_INET, h.constData(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    const QByteArray bare = h.startsWith('[') && h.endsWith(']') ? h.mid(1, h.size() - 2) : h;
    return ::inet_pton(AF_INET6, bare.constData(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

QString ServerOptions::helpText() {
    const ServerOptions d;
    return QStringLiteral(
               "Uso: pla-appserver [opções]\n"
               "Servidor de aplicação de referência da Distribuição do Cardápio (JSON-RPC 2.0 "
               "sobre HTTP).\n"
               "\n"
               "Opções:\n"
               "  --listen HOST:PORTA   endereço de escuta (padrão 127.0.0.1:8400; porta 0 escolhe "
               "uma livre)\n"
               "  --db BANCO            arquivo SQLite ou postgresql://usuario@host:porta/banco\n"
               "                        (padrão %1)\n"
               "  --db-password-file ARQUIVO\n"
               "                        senha do PostgreSQL lida da primeira linha do arquivo; sem "
               "ela valem\n"
               "                        PGPASSWORD, PGPASSFILE e o arquivo de serviços do libpq. A "
               "senha nunca\n"
               "                        é mostrada.\n"
               "  --demo                preenche um banco vazio com dados de demonstração\n"
               "  --today AAAA-MM-DD    data de referência dos cardápios de demonstração (padrão: "
               "hoje)\n"
               "  --threads N           threads que executam as chamadas (padrão %2)\n"
               "  --max-body BYTES      tamanho máximo do corpo de uma requisição (padrão %3)\n"
               "  --max-depth N         profundidade máxima de aninhamento do JSON (padrão %4)\n"
               "  --header-timeout S    tempo máximo para receber todos os cabeçalhos de uma "
               "requisição, em segundos (padrão %5)\n"
               "  --body-timeout S      tempo máximo para receber todo o corpo de uma requisição, "
               "em segundos (padrão %8)\n"
               "  --read-timeout S      define --header-timeout e --body-timeout de uma vez\n"
               "  --write-timeout S     tempo máximo para enviar uma resposta, em segundos (padrão "
               "%6)\n"
               "  --keep-alive S        tempo que uma conexão ociosa é mantida, em segundos "
               "(padrão %7)\n"
               "  --max-connections N   conexões abertas ao mesmo tempo; além delas, resposta 503 "
               "(padrão %9)\n"
               "  --allow-origin ORIGEM aceita requisições com este cabeçalho Origin (repetível; "
               "padrão: nenhuma)\n"
               "  --tls-cert ARQUIVO    certificado (PEM) para atender em HTTPS\n"
               "  --tls-key ARQUIVO     chave privada (PEM) do certificado\n"
               "  --tls-priority TEXTO  versões e cifras do TLS, como texto de prioridade do "
               "GnuTLS\n"
               "                        (padrão: TLS 1.2 e 1.3, só cifras com sigilo futuro, na "
               "ordem do\n"
               "                        servidor)\n"
               "  --no-tls              permite HTTP sem TLS fora do endereço local\n"
               "  --require-version     recusa gravar ou apagar uma distribuição sem a versão "
               "de que\n"
               "                        a alteração partiu (clientes antigos), para nenhuma "
               "alteração\n"
               "                        de outro usuário ser sobrescrita sem aviso\n"
               "  --session-hours H     duração de uma sessão aberta pelo login, em horas "
               "(padrão %10;\n"
               "                        aceita frações, como 0.5)\n"
               "  -h, --help            mostra esta ajuda\n"
               "\n"
               "Fora do endereço local (127.0.0.1, ::1), o servidor só escuta com usuários "
               "cadastrados\n"
               "e com --tls-cert/--tls-key (ou --no-tls).\n"
               "\n"
               "Dados da cozinha: pla-appserver import|export|backup|copy --help.\n"
               "\n"
               "Rotas: POST /PLA15400.rdmDistEmbCard (JSON-RPC), GET /health (200 quando o banco "
               "responde,\n"
               "503 quando não).\n"
               "SIGTERM ou SIGINT encerram o servidor após as requisições em andamento.\n"
               "Usuários e auditoria: pla-appserver user add|passwd|disable|list, "
               "pla-appserver audit (pla-appserver user sem argumentos mostra o uso).\n")
        .arg(defaultDatabase())
        .arg(d.limits.threads)
        .arg(d.limits.maxBodyBytes)
        .arg(d.maxJsonDepth)
        .arg(d.limits.headerTimeoutSeconds)
        .arg(d.limits.writeTimeoutSeconds)
        .arg(d.limits.keepAliveSeconds)
        .arg(d.limits.bodyTimeoutSeconds)
        .arg(d.limits.maxConnections)
        .arg(std::chrono::duration_cast<std::chrono::hours>(d.sessionLifetime).count());
}

ServerOptions::ParseResult ServerOptions::parse(const QStringList& arguments, ServerOptions& out,
                                                QString& message) {
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption listen(QStringLiteral("listen"), QString(),
                                    QStringLiteral("host:porta"));
    const QCommandLineOption db(QStringLiteral("db"), QString(), QStringLiteral("banco"));
    const QCommandLineOption passwordFile(QStringLiteral("db-password-file"), QString(),
                                          QStringLiteral("arquivo"));
    const QCommandLineOption demo(QStringLiteral("demo"), QString());
    const QCommandLineOption today(QStringLiteral("today"), QString(), QStringLiteral("data"));
    const QCommandLineOption threads(QStringLiteral("threads"), QString(), QStringLiteral("n"));
    const QCommandLineOption maxBody(QStringLiteral("max-body"), QString(),
                                     QStringLiteral("bytes"));
    const QCommandLineOption maxDepth(QStringLiteral("max-depth"), QString(), QStringLiteral("n"));
    const QCommandLineOption readTimeout(QStringLiteral("read-timeout"), QString(),
                                         QStringLiteral("s"));
    const QCommandLineOption writeTimeout(QStringLiteral("write-timeout"), QString(),
                                          QStringLiteral("s"));
    const QCommandLineOption keepAlive(QStringLiteral("keep-alive"), QString(),
                                       QStringLiteral("s"));
    const QCommandLineOption headerTimeout(QStringLiteral("header-timeout"), QString(),
                                           QStringLiteral("s"));
    const QCommandLineOption bodyTimeout(QStringLiteral("body-timeout"), QString(),
                                         QStringLiteral("s"));
    const QCommandLineOption maxConnections(QStringLiteral("max-connections"), QString(),
                                            QStringLiteral("n"));
    const QCommandLineOption allowOrigin(QStringLiteral("allow-origin"), QString(),
                                         QStringLiteral("origem"));
    const QCommandLineOption tlsCert(QStringLiteral("tls-cert"), QString(),
                                     QStringLiteral("arquivo"));
    const QCommandLineOption tlsPriority(QStringLiteral("tls-priority"), QString(),
                                         QStringLiteral("texto"));
    const QCommandLineOption tlsKey(QStringLiteral("tls-key"), QString(),
                                    QStringLiteral("arquivo"));
    const QCommandLineOption noTls(QStringLiteral("no-tls"), QString());
    const QCommandLineOption requireVersion(QStringLiteral("require-version"), QString());
    const QCommandLineOption sessionHours(QStringLiteral("session-hours"), QString(),
                                          QStringLiteral("h"));
    p.addOptions({help,          listen,       db,
                  passwordFile,  demo,         today,
                  threads,       maxBody,      maxDepth,
                  readTimeout,   writeTimeout, keepAlive,
                  headerTimeout, bodyTimeout,  maxConnections,
                  allowOrigin,   tlsCert,      tlsKey,
                  tlsPriority,   noTls,        requireVersion,
                  sessionHours});
    if (!p.parse(arguments)) {
        message = QStringLiteral("Opção inválida: %1\n\n%2").arg(p.errorText(), helpText());
        return ParseResult::Error;
    }
    if (p.isSet(help)) {
        message = helpText();
        return ParseResult::Help;
    }
    if (!p.positionalArguments().isEmpty()) {
        message = QStringLiteral("Argumento inesperado: %1").arg(p.positionalArguments().first());
        return ParseResult::Error;
    }
    auto positive = [&](const QCommandLineOption& o, long long min, long long& value) {
        if (!p.isSet(o)) return true;
        bool ok = false;
        const long long v = p.value(o).toLongLong(&ok);
        if (!ok || v < min) {
            message = QStringLiteral("Valor inválido para --%1: %2")
                          .arg(o.names().constLast(), p.value(o));
            return false;
        }
        value = v;
        return true;
    };
    if (p.isSet(listen)) {
        const QString v = p.value(listen);
        const int colon = v.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const int port = colon > 0 ? v.mid(colon + 1).toInt(&ok) : -1;
        if (colon <= 0 || !ok || port < 0 || port > 65535) {
            message = QStringLiteral("Valor inválido para --listen (use HOST:PORTA): %1").arg(v);
            return ParseResult::Error;
        }
        out.host = v.left(colon);
        out.port = port;
    }
    out.database = p.isSet(db) ? p.value(db) : defaultDatabase();
    if (p.isSet(passwordFile)) out.databasePasswordFile = p.value(passwordFile);
    out.demo = p.isSet(demo);
    if (p.isSet(today)) {
        out.today = QDate::fromString(p.value(today), QStringLiteral("yyyy-MM-dd"));
        if (!out.today.isValid()) {
            message = QStringLiteral("Valor inválido para --today (use AAAA-MM-DD): %1")
                          .arg(p.value(today));
            return ParseResult::Error;
        }
    }
    long long v = 0;
    if (!positive(threads, 1, v)) return ParseResult::Error;
    if (p.isSet(threads)) out.limits.threads = static_cast<int>(v);
    if (!positive(maxBody, 1024, v)) return ParseResult::Error;
    if (p.isSet(maxBody)) out.limits.maxBodyBytes = static_cast<std::size_t>(v);
    if (!positive(maxDepth, 4, v)) return ParseResult::Error;
    if (p.isSet(maxDepth)) out.maxJsonDepth = static_cast<int>(v);
    if (!positive(readTimeout, 1, v)) return ParseResult::Error;
    if (p.isSet(readTimeout))
        out.limits.headerTimeoutSeconds = out.limits.bodyTimeoutSeconds = static_cast<int>(v);
    if (!positive(headerTimeout, 1, v)) return ParseResult::Error;
    if (p.isSet(headerTimeout)) out.limits.headerTimeoutSeconds = static_cast<int>(v);
    if (!positive(bodyTimeout, 1, v)) return ParseResult::Error;
    if (p.isSet(bodyTimeout)) out.limits.bodyTimeoutSeconds = static_cast<int>(v);
    if (!positive(maxConnections, 1, v)) return ParseResult::Error;
    if (p.isSet(maxConnections)) out.limits.maxConnections = static_cast<int>(v);
    out.limits.allowedOrigins = p.values(allowOrigin);
    out.tlsCertificate = p.value(tlsCert);
    out.tlsKey = p.value(tlsKey);
    if (p.isSet(tlsPriority)) out.tlsPriorities = p.value(tlsPriority);
    out.noTls = p.isSet(noTls);
    out.requireVersion = p.isSet(requireVersion);
    if (out.tlsCertificate.isEmpty() != out.tlsKey.isEmpty()) {
        message = QStringLiteral("--tls-cert e --tls-key devem ser informados juntos.");
        return ParseResult::Error;
    }
    if (!positive(writeTimeout, 1, v)) return ParseResult::Error;
    if (p.isSet(writeTimeout)) out.limits.writeTimeoutSeconds = static_cast<int>(v);
    if (!positive(keepAlive, 1, v)) return ParseResult::Error;
    if (p.isSet(keepAlive)) out.limits.keepAliveSeconds = static_cast<int>(v);
    if (p.isSet(sessionHours)) {
        // A second at least, and no more than ten years: a longer session is a mistake.
        bool ok = false;
        const double hours = p.value(sessionHours).toDouble(&ok);
        if (!ok || !(hours * 3600 >= 1) || hours > 87600) {
            message = QStringLiteral("Valor inválido para --session-hours (horas, de 0.0003 a "
                                     "87600): %1")
                          .arg(p.value(sessionHours));
            return ParseResult::Error;
        }
        out.sessionLifetime = std::chrono::seconds(std::lround(hours * 3600));
    }
    return ParseResult::Run;
}

} // namespace pla
