#include "appserver/ServerOptions.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

namespace pla {

QString ServerOptions::defaultDatabase() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty()) dir = QDir::currentPath();
    return dir + QStringLiteral("/pla-appserver/pla-appserver.sqlite");
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
               "  --threads N           threads de atendimento (padrão %2; cada conexão mantida "
               "ocupa uma)\n"
               "  --max-body BYTES      tamanho máximo do corpo de uma requisição (padrão %3)\n"
               "  --max-depth N         profundidade máxima de aninhamento do JSON (padrão %4)\n"
               "  --read-timeout S      tempo máximo de espera por cabeçalho ou corpo, em segundos "
               "(padrão %5)\n"
               "  --write-timeout S     tempo máximo para enviar uma resposta, em segundos (padrão "
               "%6)\n"
               "  --keep-alive S        tempo que uma conexão ociosa é mantida, em segundos "
               "(padrão %7)\n"
               "  -h, --help            mostra esta ajuda\n"
               "\n"
               "Dados da cozinha: pla-appserver import|export|backup|copy --help.\n"
               "\n"
               "Rotas: POST /PLA15400.rdmDistEmbCard (JSON-RPC), GET /health (200 quando "
               "atendendo).\n"
               "SIGTERM ou SIGINT encerram o servidor após as requisições em andamento.\n"
               "Usuários e auditoria: pla-appserver user add|passwd|disable|list, "
               "pla-appserver audit (pla-appserver user sem argumentos mostra o uso).\n")
        .arg(defaultDatabase())
        .arg(d.limits.threads)
        .arg(d.limits.maxBodyBytes)
        .arg(d.maxJsonDepth)
        .arg(d.limits.readTimeoutSeconds)
        .arg(d.limits.writeTimeoutSeconds)
        .arg(d.limits.keepAliveSeconds);
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
    p.addOptions({help, listen, db, passwordFile, demo, today, threads, maxBody, maxDepth,
                  readTimeout, writeTimeout, keepAlive});
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
    if (p.isSet(readTimeout)) out.limits.readTimeoutSeconds = static_cast<int>(v);
    if (!positive(writeTimeout, 1, v)) return ParseResult::Error;
    if (p.isSet(writeTimeout)) out.limits.writeTimeoutSeconds = static_cast<int>(v);
    if (!positive(keepAlive, 1, v)) return ParseResult::Error;
    if (p.isSet(keepAlive)) out.limits.keepAliveSeconds = static_cast<int>(v);
    return ParseResult::Run;
}

} // namespace pla
