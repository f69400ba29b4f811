#include "host/desktop/HostOptions.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDateTime>
#include <QStandardPaths>

namespace pla {

QString HostOptions::DefaultDatabase() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty()) dir = QStringLiteral(".");
    return dir + QStringLiteral("/distribuicao.sqlite");
}

HostOptions::ParseResult HostOptions::Parse(const QStringList& arguments, HostOptions& out,
                                            QString& message) {
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Distribuição do Cardápio — aplicação de mesa que carrega os módulos."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Mostra esta ajuda."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Mostra a versão."));
    const QCommandLineOption branch(QStringLiteral("branch"),
                                    QStringLiteral("Filial do usuário (padrão 0001)."),
                                    QStringLiteral("CÓDIGO"));
    const QCommandLineOption tied(QStringLiteral("tied"),
                                  QStringLiteral("O usuário está preso à sua filial."));
    const QCommandLineOption server(
        QStringLiteral("server"),
        QStringLiteral("Servidor de aplicação (HOST:PORTA, ou https://HOST:PORTA para HTTPS); "
                       "sem esta opção, um servidor embutido com dados de demonstração."),
        QStringLiteral("HOST:PORTA"));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("Banco de dados geral, de onde se leem as "
                                               "filiais (arquivo SQLite ou postgresql://...); "
                                               "sem ele, com --server, o próprio servidor de "
                                               "aplicação responde pelas filiais."),
                                QStringLiteral("BANCO"));
    const QCommandLineOption modules(QStringLiteral("modules"),
                                     QStringLiteral("Pasta dos módulos (libPkg_<nome>.so)."),
                                     QStringLiteral("PASTA"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Abre o módulo, grava a janela principal em PNG e termina."),
        QStringLiteral("ARQUIVO"));
    const QCommandLineOption module(QStringLiteral("module"),
                                    QStringLiteral("Módulo aberto ao iniciar (padrão PLA15400)."),
                                    QStringLiteral("NOME"));
    const QCommandLineOption focus(
        QStringLiteral("focus"),
        QStringLiteral("Depois de abrir a tela, leva o foco ao CONTROLE (como o usuário faria), "
                       "por exemplo dbgPadrao para carregar os serviços."),
        QStringLiteral("CONTROLE"));
    const QCommandLineOption pdf(
        QStringLiteral("pdf"),
        QStringLiteral("Sem janela: grava o PDF das etiquetas e romaneios do dia da filial "
                       "(use com --module PLA15500) e termina."),
        QStringLiteral("ARQUIVO"));
    const QCommandLineOption date(
        QStringLiteral("date"),
        QStringLiteral("Data do cardápio das telas e do PDF (padrão hoje)."),
        QStringLiteral("AAAA-MM-DD"));
    const QCommandLineOption stock(
        QStringLiteral("stock"),
        QStringLiteral("Etiqueta do PDF: A4-2x7 (padrão), A4-3x8, A4-2x4, ROLO-100x60, "
                       "ROLO-100x50 ou ROLO-60x40; do ZPL, um dos rolos (padrão ROLO-100x60)."),
        QStringLiteral("NOME"));
    const QCommandLineOption prepared(
        QStringLiteral("prepared"),
        QStringLiteral("Data e hora do preparo impressas nas etiquetas, de que conta a validade "
                       "(padrão: a data do cardápio na hora atual)."),
        QStringLiteral("AAAA-MM-DD HH:MM"));
    const QCommandLineOption contents(
        QStringLiteral("contents"),
        QStringLiteral("Conteúdo do PDF: etiquetas, romaneios ou ambos (padrão)."),
        QStringLiteral("QUAIS"));
    const QCommandLineOption zpl(
        QStringLiteral("zpl"),
        QStringLiteral("Sem janela: grava as etiquetas do dia da filial em ZPL, a linguagem das "
                       "impressoras térmicas (use com --module PLA15500), e termina."),
        QStringLiteral("ARQUIVO"));
    const QCommandLineOption printer(
        QStringLiteral("printer"),
        QStringLiteral("Sem janela: envia as etiquetas do dia em ZPL à impressora de etiquetas "
                       "(fila do CUPS ou HOST:9100) e termina."),
        QStringLiteral("FILA|HOST:PORTA"));
    const QCommandLineOption dpi(
        QStringLiteral("dpi"),
        QStringLiteral("Resolução da impressora de etiquetas: 203 (padrão) ou 300."),
        QStringLiteral("DPI"));
    p.addOptions({help, version, branch, tied, server, db, modules, screenshot, module, focus, pdf,
                  date, prepared, stock, contents, zpl, printer, dpi});
    if (!p.parse(arguments)) {
        message = p.errorText();
        return ParseResult::Error;
    }
    if (p.isSet(help)) {
        message = p.helpText();
        return ParseResult::Help;
    }
    if (p.isSet(version)) {
        message = QStringLiteral("pla-host %1").arg(QStringLiteral(PLA_VERSION));
        return ParseResult::Version;
    }
    if (!p.positionalArguments().isEmpty()) {
        message = QStringLiteral("Argumento inesperado: %1").arg(p.positionalArguments().first());
        return ParseResult::Error;
    }
    if (p.isSet(branch)) out.branch = p.value(branch).trimmed().toUpper();
    out.tied = p.isSet(tied);
    if (p.isSet(server)) {
        const QString v = p.value(server).trimmed();
        // The scheme stays on the host: the connection reads it from there.
        const qsizetype schemeEnd = v.indexOf(QLatin1String("://"));
        const QString scheme = schemeEnd < 0 ? QString() : v.left(schemeEnd).toLower();
        const qsizetype colon = v.lastIndexOf(QLatin1Char(':'));
        const qsizetype hostStart = schemeEnd < 0 ? 0 : schemeEnd + 3;
        bool ok = false;
        const int port = colon > hostStart ? v.mid(colon + 1).toInt(&ok) : 0;
        if (!ok || port <= 0 || port > 65535 ||
            (schemeEnd >= 0 && scheme != QLatin1String("http") &&
             scheme != QLatin1String("https"))) {
            message =
                QStringLiteral("Servidor inválido: \"%1\" (use HOST:PORTA ou https://HOST:PORTA).")
                    .arg(v);
            return ParseResult::Error;
        }
        out.serverHost =
            scheme == QLatin1String("http") ? v.mid(hostStart, colon - hostStart) : v.left(colon);
        out.serverPort = port;
    }
    if (p.isSet(db)) out.database = p.value(db);
    if (p.isSet(modules)) out.moduleFolder = p.value(modules);
    if (p.isSet(screenshot)) out.screenshot = p.value(screenshot);
    if (p.isSet(focus)) out.focus = p.value(focus);
    if (p.isSet(module)) out.module = p.value(module).trimmed();
    if (p.isSet(pdf)) out.pdf = p.value(pdf);
    if (p.isSet(date)) {
        out.date = p.value(date).trimmed();
        if (!QDate::fromString(out.date, QStringLiteral("yyyy-MM-dd")).isValid()) {
            message = QStringLiteral("Data inválida: \"%1\" (use AAAA-MM-DD).").arg(out.date);
            return ParseResult::Error;
        }
    }
    if (p.isSet(prepared)) {
        out.prepared = p.value(prepared).simplified();
        if (!QDateTime::fromString(out.prepared, QStringLiteral("yyyy-MM-dd HH:mm")).isValid()) {
            message = QStringLiteral("Data e hora do preparo inválidas: \"%1\" (use AAAA-MM-DD "
                                     "HH:MM).")
                          .arg(out.prepared);
            return ParseResult::Error;
        }
    }
    if (p.isSet(stock)) out.stock = p.value(stock).trimmed();
    if (p.isSet(contents)) out.contents = p.value(contents).trimmed();
    if (p.isSet(zpl)) out.zpl = p.value(zpl);
    if (p.isSet(printer)) out.printer = p.value(printer).trimmed();
    if (p.isSet(dpi)) {
        out.dpi = p.value(dpi).trimmed();
        if (out.dpi != QLatin1String("203") && out.dpi != QLatin1String("300")) {
            message = QStringLiteral("Resolução inválida: \"%1\" (use 203 ou 300).").arg(out.dpi);
            return ParseResult::Error;
        }
    }
    if (int(!out.pdf.isEmpty()) + int(!out.zpl.isEmpty()) + int(!out.printer.isEmpty()) > 1) {
        message = QStringLiteral("Use só uma saída: --pdf, --zpl ou --printer.");
        return ParseResult::Error;
    }
    return ParseResult::Run;
}

} // namespace pla
