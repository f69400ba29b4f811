#include "appserver/transfer/DataCommands.h"

#include "appserver/storage/Schema.h"
#include "appserver/ServerOptions.h"
#include "appserver/storage/StorageError.h"
#include "appserver/transfer/DataExporter.h"
#include "appserver/transfer/DataImporter.h"
#include "appserver/transfer/DatabaseBackup.h"
#include "appserver/transfer/DatabaseCopy.h"
#include "appserver/transfer/ScopedConnection.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <stdexcept>

namespace pla {

namespace {

enum Exit { Done = 0, Refused = 1, Usage = 2, Kept = 3, Failed = 4 };

void out(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
}
void err(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
}

QString kindNames(bool importable) {
    QStringList names;
    for (const ExchangeKind& k : ExchangeFormat::kinds())
        if (!importable || k.kind != DataKind::Distributions) names << k.file;
    return names.join(QStringLiteral(", "));
}

const QString kHelp = QStringLiteral(
    "Uso:\n"
    "  pla-appserver import [--db BANCO] [--dry-run] [--replace-distributed] ARQUIVO.csv|PASTA...\n"
    "      Importa, numa só transação, os arquivos CSV de:\n"
    "      %1.\n"
    "      O tipo vem do início do nome do arquivo (cardapios_2026-12-08.csv é de cardápios);\n"
    "      modelos e guia das colunas em docs/import/. Qualquer linha\n"
    "      com erro é listada como arquivo:linha:coluna e nada é gravado. --dry-run só verifica.\n"
    "      Um cardápio que já tem distribuição e mudaria é mantido e informado; com\n"
    "      --replace-distributed ele é substituído e suas distribuições são apagadas para\n"
    "      serem refeitas na tela.\n"
    "  pla-appserver export [--db BANCO] [--kind TIPO,...] [--branch FILIAL] [--from DATA]\n"
    "                       [--to DATA] PASTA\n"
    "      Grava os mesmos arquivos e distribuicoes.csv (uma linha por prato em cada embalagem).\n"
    "  pla-appserver backup [--db ARQUIVO.sqlite] DESTINO.sqlite\n"
    "      Cópia de segurança consistente, mesmo com o servidor atendendo.\n"
    "  pla-appserver copy --from ARQUIVO.sqlite --to postgresql://usuario@host:porta/banco\n"
    "      Leva o banco inteiro para um banco PostgreSQL vazio.\n"
    "\n"
    "BANCO é um arquivo SQLite ou postgresql://usuario@host:porta/banco (padrão %2).\n"
    "Saída: 0 concluído, 1 arquivos recusados (nada gravado), 2 linha de comando inválida,\n"
    "3 gravado mas cardápios com distribuição mantidos, 4 falha do banco ou de arquivo.\n");

QString help() {
    return kHelp.arg(kindNames(true), ServerOptions::defaultDatabase());
}

// Parses the command's options; nothing with the exit code already printed for.
struct Parsed {
    QCommandLineParser parser;
    bool ok = false;
    int exit = Usage;
};

void parse(Parsed& p, const QStringList& arguments, const QList<QCommandLineOption>& options) {
    p.parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, QString());
    p.parser.addOptions(options);
    p.parser.addOption(helpOption);
    QStringList args = arguments;
    args.removeAt(1); // the command
    if (!p.parser.parse(args)) {
        err(QStringLiteral("Opção inválida: %1\n\n%2").arg(p.parser.errorText(), help()));
        return;
    }
    if (p.parser.isSet(helpOption)) {
        out(help());
        p.exit = Done;
        return;
    }
    p.ok = true;
}

DatabaseConfig database(const QString& text) {
    try {
        return DatabaseConfig::parse(text.isEmpty() ? ServerOptions::defaultDatabase() : text);
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(e.what());
    }
}

int runImport(const QStringList& arguments) {
    const QCommandLineOption db(QStringLiteral("db"), QString(), QStringLiteral("banco"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"), QString());
    const QCommandLineOption replace(QStringLiteral("replace-distributed"), QString());
    Parsed p;
    parse(p, arguments, {db, dryRun, replace});
    if (!p.ok) return p.exit;
    const QStringList paths = p.parser.positionalArguments();
    if (paths.isEmpty()) {
        err(QStringLiteral("Informe os arquivos ou pastas a importar.\n\n%1").arg(help()));
        return Usage;
    }
    ImportOptions options;
    options.dryRun = p.parser.isSet(dryRun);
    options.replaceDistributed = p.parser.isSet(replace);

    ImportReport readReport;
    const QVector<ImportTable> tables = DataImporter::read(paths, readReport);
    const DatabaseConfig config = database(p.parser.value(db));
    if (config.kind == DatabaseConfig::Kind::Sqlite && readReport.errors.isEmpty())
        QDir().mkpath(QFileInfo(config.path).absolutePath());
    QElapsedTimer timer;
    timer.start();
    ImportReport report;
    // Files that cannot be read leave the database untouched, not even created.
    if (readReport.errors.isEmpty()) {
        ScopedConnection connection(config, QStringLiteral("pla_import"));
        Schema::migrate(connection.db());
        report = DataImporter(connection.db(), options).run(tables);
    }
    report.errors = readReport.errors + report.errors;
    report.notices = readReport.notices + report.notices;
    for (const ImportCount& c : report.counts)
        out(QStringLiteral("%1: %2 linhas; %3 novos, %4 alterados, %5 sem mudança%6")
                .arg(c.kind)
                .arg(c.rows)
                .arg(c.inserted)
                .arg(c.updated)
                .arg(c.unchanged)
                .arg(c.kept ? QStringLiteral(", %1 mantidos por já terem distribuição").arg(c.kept)
                            : QString()));
    for (const ImportIssue& n : report.notices)
        out(n.text());
    for (const ImportIssue& e : report.errors)
        err(e.text());
    if (!report.errors.isEmpty()) {
        err(QStringLiteral("Importação recusada: %1 erro(s); nada foi gravado.")
                .arg(report.errors.size()));
        return Refused;
    }
    out(options.dryRun ? QStringLiteral("Verificação concluída sem erros; nada foi gravado "
                                        "(--dry-run).")
                       : QStringLiteral("Importação gravada em %1 (%2 s).")
                             .arg(config.describe())
                             .arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    return report.keptMenus() > 0 ? Kept : Done;
}

int runExport(const QStringList& arguments) {
    const QCommandLineOption db(QStringLiteral("db"), QString(), QStringLiteral("banco"));
    const QCommandLineOption kind(QStringLiteral("kind"), QString(), QStringLiteral("tipos"));
    const QCommandLineOption branch(QStringLiteral("branch"), QString(), QStringLiteral("filial"));
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("data"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("data"));
    Parsed p;
    parse(p, arguments, {db, kind, branch, from, to});
    if (!p.ok) return p.exit;
    if (p.parser.positionalArguments().size() != 1) {
        err(QStringLiteral("Informe uma pasta de destino.\n\n%1").arg(help()));
        return Usage;
    }
    ExportFilter filter;
    for (const QString& value : p.parser.values(kind))
        for (const QString& name : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const ExchangeKind* k = nullptr;
            for (const ExchangeKind& candidate : ExchangeFormat::kinds())
                if (candidate.file == name.trimmed().toLower()) k = &candidate;
            if (!k) {
                err(QStringLiteral("Tipo desconhecido em --kind: %1 (use %2)")
                        .arg(name, kindNames(false)));
                return Usage;
            }
            filter.kinds << k->kind;
        }
    const ExchangeKind& menus = ExchangeFormat::of(DataKind::Menus);
    if (p.parser.isSet(branch)) {
        QString reason;
        const auto b = ExchangeFormat::parse(menus.columns[0], p.parser.value(branch), reason);
        if (!b) {
            err(QStringLiteral("Valor inválido para --branch: %1").arg(reason));
            return Usage;
        }
        filter.branch = b->toString();
    }
    for (const auto& [option, date] :
         {std::pair{&from, &filter.from}, std::pair{&to, &filter.to}}) {
        if (!p.parser.isSet(*option)) continue;
        QString reason;
        const auto d = ExchangeFormat::parse(menus.columns[2], p.parser.value(*option), reason);
        if (!d) {
            err(QStringLiteral("Valor inválido para --%1: %2")
                    .arg(option->names().first(), reason));
            return Usage;
        }
        *date = QDate::fromString(d->toString(), Qt::ISODate);
    }
    const DatabaseConfig config = database(p.parser.value(db));
    if (config.kind == DatabaseConfig::Kind::Sqlite && !QFileInfo::exists(config.path)) {
        err(QStringLiteral("O banco %1 não existe.").arg(config.path));
        return Failed;
    }
    ScopedConnection connection(config, QStringLiteral("pla_export"));
    Schema::migrate(connection.db());
    for (const ExportedFile& f :
         DataExporter(connection.db()).write(p.parser.positionalArguments().first(), filter))
        out(QStringLiteral("%1: %2 linhas").arg(f.path).arg(f.rows));
    return Done;
}

int runBackup(const QStringList& arguments) {
    const QCommandLineOption db(QStringLiteral("db"), QString(), QStringLiteral("arquivo"));
    Parsed p;
    parse(p, arguments, {db});
    if (!p.ok) return p.exit;
    if (p.parser.positionalArguments().size() != 1) {
        err(QStringLiteral("Informe o arquivo da cópia.\n\n%1").arg(help()));
        return Usage;
    }
    const QString target = p.parser.positionalArguments().first();
    const auto r = DatabaseBackup::run(database(p.parser.value(db)), target);
    out(QStringLiteral("Cópia de segurança gravada em %1 (%2 bytes, esquema versão %3).")
            .arg(target)
            .arg(r.bytes)
            .arg(r.schemaVersion));
    return Done;
}

int runCopy(const QStringList& arguments) {
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("arquivo"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("banco"));
    Parsed p;
    parse(p, arguments, {from, to});
    if (!p.ok) return p.exit;
    if (!p.parser.isSet(from) || !p.parser.isSet(to) || !p.parser.positionalArguments().isEmpty()) {
        err(QStringLiteral("Informe --from e --to.\n\n%1").arg(help()));
        return Usage;
    }
    const DatabaseConfig target = database(p.parser.value(to));
    const auto r = DatabaseCopy::run(database(p.parser.value(from)), target);
    out(QStringLiteral("Banco copiado para %1: %2 tabelas, %3 linhas, esquema versão %4.")
            .arg(target.describe())
            .arg(r.tables)
            .arg(r.rows)
            .arg(r.schemaVersion));
    return Done;
}

} // namespace

std::optional<int> DataCommands::run(const QStringList& arguments) {
    if (arguments.size() < 2) return std::nullopt;
    const QString command = arguments[1];
    int (*body)(const QStringList&) = nullptr;
    if (command == QLatin1String("import"))
        body = runImport;
    else if (command == QLatin1String("export"))
        body = runExport;
    else if (command == QLatin1String("backup"))
        body = runBackup;
    else if (command == QLatin1String("copy"))
        body = runCopy;
    if (!body) return std::nullopt;
    // The server blocks these for its signal thread; a command stops at Ctrl+C instead, and
    // its open transaction is never committed.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    try {
        return body(arguments);
    } catch (const StorageError& e) {
        err(QStringLiteral("pla-appserver %1: %2").arg(command, e.message()));
    } catch (const std::exception& e) {
        err(QStringLiteral("pla-appserver %1: %2").arg(command, QString::fromUtf8(e.what())));
    }
    return Failed;
}

} // namespace pla
