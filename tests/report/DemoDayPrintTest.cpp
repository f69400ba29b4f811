// The demo day printed end to end: the server's read, the packing-list totals against what is
// stored, the PDF read back with pdftotext, the label code read back with zbarimg, and the
// same PDF from pla-host's command line.
#include "appserver/EmbeddedServer.h"
#include "framework/data/PacketCodec.h"
#include "framework/net/NetConnection.h"
#include "framework/qt/QtPrintOutput.h"
#include "remote/DistributionDayReader.h"
#include "report/DistributionReport.h"
#include "report/LabelContents.h"
#include "report/ReportTexts.h"
#include "tests/framework/print/FakePrinter.h"
#include "tests/remote/TestEnvironment.h"
#include "tests/report/ReportTestDay.h"

#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace pla::test {

namespace {

const QDate kDay(2026, 12, 8);

// Output of a tool, or nullopt when it is not installed or failed.
std::optional<QString> Tool(const QString& program, const QStringList& args) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return std::nullopt;
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString& file) {
    const std::optional<QString> info = Tool(QStringLiteral("pdfinfo"), {file});
    if (!info) return -1;
    for (const QString& line : info->split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    return -1;
}

class DemoDayPrint : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        database_ = dir_->filePath(QStringLiteral("demo.sqlite"));
        server_ = new EmbeddedServer;
        const int port = server_->start(database_, true, kDay);
        TestEnvironment::Install();
        TestEnvironment::Login(QStringLiteral("0001"), false, port, kDay);
        TNetConnection net;
        net.Host = QStringLiteral("127.0.0.1");
        net.Port = port;
        // Every transported service of the branch distributed from the defaults.
        TDataPacket services;
        services.Fields = {{"IDMARCADO", TFieldType::String, 1},
                           {"CDFILIAL", TFieldType::String, 4},
                           {"CDSERVFILI", TFieldType::String, 5}};
        for (const char* s : {"00001", "00002", "00003", "00004", "00005", "00006"})
            services.Rows.push_back(
                {QStringLiteral("S"), QStringLiteral("0001"), QString::fromLatin1(s)});
        const QJsonValue generated = net.Call(
            QStringLiteral("GeraDistribuicaoFilial"),
            {QStringLiteral("2026-12-08"), PacketCodec::ToJson(services), QStringLiteral("S")});
        ASSERT_TRUE(generated.toObject().value(QStringLiteral("ok")).toBool())
            << QJsonDocument(generated.toObject()).toJson().toStdString();
        day_ = new DistributionDay(DistributionDayReader::Read(
            net, QStringLiteral("0001"), QStringLiteral("Cozinha Central São Paulo"), kDay));
    }
    static void TearDownTestSuite() {
        delete day_;
        server_->stop();
        delete server_;
        delete dir_;
    }

    static ReportRequest Everything(ReportContents contents, const QString& stock = "A4-2x7") {
        ReportRequest r;
        for (const DayService& s : day_->services)
            r.services.push_back(s.code);
        r.contents = contents;
        r.stock = stock;
        return r;
    }

    // pla-host without a window on the demo database, branch 0001.
    static void StartHost(QProcess& p, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir_->filePath(QStringLiteral("data")));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PLA_HOST_BIN),
                QStringList{"--module", "PLA15500", "--branch", "0001", "--db", database_} + args);
    }

    static QTemporaryDir* dir_;
    static QString database_;
    static EmbeddedServer* server_;
    static DistributionDay* day_;
};

QTemporaryDir* DemoDayPrint::dir_ = nullptr;
QString DemoDayPrint::database_;
EmbeddedServer* DemoDayPrint::server_ = nullptr;
DistributionDay* DemoDayPrint::day_ = nullptr;

} // namespace

TEST_F(DemoDayPrint, EachPackingListTotalsEqualTheAmountsStoredAsDistributed) {
    ASSERT_FALSE(day_->packagings.isEmpty());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
    db.setDatabaseName(database_);
    ASSERT_TRUE(db.open());
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral(
        "SELECT d.CDSERVFILI, d.CDCLIENTE, d.CDDESTFILI, c.NMPRATO, c.SGUNIDADE, "
        "c.QTTOTPRATO - c.QTPRATO FROM CARDDISP c JOIN DISTCARD d ON d.NRDISTCARD = c.NRDISTCARD "
        "WHERE d.CDFILIAL = '0001' AND d.DTCARDAPIO = '2026-12-08' AND "
        "c.QTTOTPRATO - c.QTPRATO > 0.00001")));
    int checked = 0;
    while (q.next()) {
        ReportRequest request = Everything(ReportContents::PackingList);
        request.services = {q.value(0).toString()};
        request.pointKey = q.value(1).toString() + QLatin1Char('\x1f') + q.value(2).toString();
        const DistributionReport::Result r = DistributionReport::Build(*day_, request);
        ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
        const QString total = ReportTexts::AmountUnit(q.value(5).toDouble(), q.value(4).toString());
        bool printed = false;
        for (const PrintPage& page : r.document.pages) {
            const QStringList texts = Texts(page);
            const int at = texts.indexOf(q.value(3).toString(), texts.indexOf("Totais por prato"));
            printed = printed || (at >= 0 && texts.mid(at, 4).contains(total));
        }
        EXPECT_TRUE(printed) << q.value(3).toString().toStdString() << " " << total.toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 20);
    q = QSqlQuery();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
}

TEST_F(DemoDayPrint, ThePdfHoldsTheTextsAndOnePageForEachPageLaidOut) {
    // One service keeps the PDF small enough for a quick test; the bench prints whole days.
    ReportRequest request = Everything(ReportContents::Both);
    request.services = {QStringLiteral("00001")};
    const DistributionReport::Result r = DistributionReport::Build(*day_, request);
    int labels = 0;
    for (const DayPackaging& p : day_->packagings)
        if (p.service == QLatin1String("00001")) labels += p.LabelCount();
    const QString file = dir_->filePath(QStringLiteral("dia.pdf"));
    QString error;
    ASSERT_TRUE(QtPrintOutput().WritePdf(r.document, file, error)) << error.toStdString();
    const std::optional<QString> text = Tool(QStringLiteral("pdftotext"), {file, "-"});
    if (!text) GTEST_SKIP() << "pdftotext (poppler-utils) não instalado";
    EXPECT_EQ(PdfPages(file), r.document.pages.size());
    EXPECT_EQ(r.document.pages.size() - std::ceil(labels / 14.0),
              text->count(QStringLiteral("Romaneio de Entrega")));
    for (const char* t : {"Almoço Hospital Santa Clara", "Terça", "Totais por embalagem",
                          "Assinatura do recebedor", "Página 1 de", "Hospital Santa Clara Ltda."})
        EXPECT_TRUE(text->contains(QString::fromUtf8(t))) << t;
    EXPECT_TRUE(text->contains(QStringLiteral("1/%1").arg(day_->packagings[0].LabelCount())));
}

TEST_F(DemoDayPrint, TheCodeOnARenderedLabelDecodesToItsPackagingNumber) {
    const DayPackaging& first = day_->packagings.first();
    ReportRequest request = Everything(ReportContents::Labels, QStringLiteral("A4-2x4"));
    request.services = {first.service};
    request.pointKey = first.PointKey();
    const DistributionReport::Result r = DistributionReport::Build(*day_, request);
    const QString pdf = dir_->filePath(QStringLiteral("etiqueta.pdf"));
    QString error;
    ASSERT_TRUE(QtPrintOutput().WritePdf(r.document, pdf, error)) << error.toStdString();
    const QString png = dir_->filePath(QStringLiteral("etiqueta"));
    if (!Tool(QStringLiteral("pdftoppm"),
              {"-r", "200", "-f", "1", "-l", "1", "-png", "-singlefile", pdf, png}))
        GTEST_SKIP() << "pdftoppm (poppler-utils) não instalado";
    const std::optional<QString> codes =
        Tool(QStringLiteral("zbarimg"), {"-q", "--raw", png + QStringLiteral(".png")});
    if (!codes) GTEST_SKIP() << "zbarimg (zbar-tools) não instalado ou nada lido";
    const QStringList read = codes->split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(read.isEmpty());
    QStringList numbers;
    for (const DayPackaging& p : day_->packagings)
        if (p.service == first.service && p.PointKey() == first.PointKey())
            numbers.push_back(QString::number(p.number));
    EXPECT_TRUE(read.contains(QString::number(first.number))) << codes->toStdString();
    for (const QString& code : read)
        EXPECT_TRUE(numbers.contains(code)) << code.toStdString();
}

TEST_F(DemoDayPrint, TheCommandLineWritesTheDaysPdfWithoutAWindow) {
    const QString file = dir_->filePath(QStringLiteral("linha.pdf"));
    QProcess p;
    StartHost(p, {"--pdf", file, "--date", "2026-12-08", "--contents", "romaneios"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString errors = QString::fromLocal8Bit(p.readAllStandardError());
    ASSERT_EQ(p.exitCode(), 0) << errors.toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) não instalado";
    EXPECT_EQ(PdfPages(file),
              DistributionReport::Build(*day_, Everything(ReportContents::PackingList))
                  .document.pages.size());

    // A date with nothing distributed fails with the reason and writes nothing.
    StartHost(p, {"--pdf", dir_->filePath("vazio.pdf"), "--date", "2026-12-09"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError())
                    .contains(QStringLiteral("Não há embalagens distribuídas na filial 0001 em "
                                             "09/12/2026.")));
    EXPECT_FALSE(QFile::exists(dir_->filePath("vazio.pdf")));
}

} // namespace pla::test

namespace pla::test {

TEST_F(DemoDayPrint, EveryLabelOfTheDayCarriesEveryRequiredLine) {
    const QString file = dir_->filePath(QStringLiteral("etiquetas.pdf"));
    QProcess p;
    StartHost(p, {"--pdf", file, "--date", "2026-12-08", "--contents", "etiquetas", "--prepared",
                  "2026-12-08 06:30"});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    // In drawing order, so a wrapped line's pieces follow each other.
    std::optional<QString> text = Tool(QStringLiteral("pdftotext"), {"-raw", file, "-"});
    if (!text) GTEST_SKIP() << "pdftotext (poppler-utils) não instalado";
    // The PDF draws "fi" and "fl" as ligatures, which the extraction keeps.
    const QString all = text->simplified()
                            .replace(QChar(0xFB01), QStringLiteral("fi"))
                            .replace(QChar(0xFB02), QStringLiteral("fl"));

    // Each required line as many times as there are labels that must carry it.
    const QDateTime prepared(kDay, QTime(6, 30));
    QHash<QString, int> expected;
    int labels = 0;
    for (const DayPackaging& pk : day_->packagings) {
        const LabelContents c = LabelContents::Of(*day_, pk, prepared);
        const int n = pk.LabelCount();
        labels += n;
        for (const QString& line : QStringList{c.dates, c.allergens, c.glutenLactose, c.lot} +
                                       c.conservation + c.producer)
            if (!line.isEmpty()) expected[line] += n;
    }
    ASSERT_GT(labels, 50);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        EXPECT_GE(all.count(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(all.count(QStringLiteral("Preparo: 08/12/2026 06:30 · Validade: ")), labels);
    EXPECT_EQ(all.count(QStringLiteral("GLÚTEN")), labels);
    EXPECT_EQ(all.count(QStringLiteral("Lote: 20261208-0001-000")), labels);
    EXPECT_EQ(all.count(QStringLiteral("CNPJ 47.381.265/0001-40")), labels);
    EXPECT_EQ(all.count(QStringLiteral("RT: Mariana Costa Ribeiro — CRN-3 12345")), labels);
}

} // namespace pla::test

namespace pla::test {

// The demo day as a thermal printer gets it: one label per unit and a header label (no code)
// before each point, in loading order. The renderer takes about half a second a label here and
// the day has thousands, so the first stops' labels are rendered and their codes read back.
TEST_F(DemoDayPrint, TheDaysZplRendersAndEveryLabelsCodeDecodesInLoadingOrder) {
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty())
        GTEST_SKIP() << "node não instalado";
    if (!QFileInfo::exists(QStringLiteral(PLA_ZPL_RENDER_MODULES "/zpl-renderer-js")))
        GTEST_SKIP() << "zpl-renderer-js não instalado (scripts/test.sh o instala)";
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        GTEST_SKIP() << "zbarimg (zbar-tools) não instalado";
    const QString zpl = dir_->filePath(QStringLiteral("dia.zpl"));
    QProcess host;
    StartHost(host, {"--zpl", zpl, "--date", "2026-12-08", "--dpi", "203"});
    ASSERT_TRUE(host.waitForFinished(120000));
    ASSERT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();

    QVector<const DayPackaging*> all;
    for (const DayPackaging& p : day_->packagings)
        all.push_back(&p);
    QStringList expected; // per label: the packaging number, or "" for a point's header
    QStringList points;   // the points in the order their headers come
    for (const DayPackaging* p : InLoadingOrder(all)) {
        if (points.isEmpty() || points.last() != p->PointKey()) {
            points << p->PointKey();
            expected << QString();
        }
        for (int unit = 0; unit < p->LabelCount(); ++unit)
            expected << QString::number(p->number);
    }
    // The demo kitchen loads the state school first, the steelworks' second site next.
    ASSERT_GE(points.size(), 3);
    EXPECT_EQ(points.mid(0, 2), (QStringList{QStringLiteral("10003\x1f"
                                                            "001"),
                                             QStringLiteral("10002\x1f"
                                                            "002")}));

    QFile file(zpl);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.count("^XZ"), expected.size());
    constexpr int kRendered = 60;
    expected = expected.mid(0, kRendered);
    const QString first = dir_->filePath(QStringLiteral("primeiras.zpl"));
    QFile head(first);
    ASSERT_TRUE(head.open(QIODevice::WriteOnly));
    for (int line = 0, labels = 0; line < lines.size() && labels < kRendered; ++line) {
        head.write(lines[line] + '\n');
        labels += lines[line] == "^XZ" ? 1 : 0;
    }
    head.close();

    QProcess render;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NODE_PATH"), QStringLiteral(PLA_ZPL_RENDER_MODULES));
    render.setProcessEnvironment(env);
    const QString prefix = dir_->filePath(QStringLiteral("rolo"));
    render.start(QStringLiteral("node"),
                 {QStringLiteral(PLA_ZPL_RENDER_JS), first, "100", "60", "8", prefix});
    ASSERT_TRUE(render.waitForFinished(300000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    ASSERT_EQ(render.readAllStandardOutput().trimmed().toInt(), expected.size());

    QStringList images;
    for (int i = 0; i < expected.size(); ++i)
        images << QStringLiteral("%1-%2.png").arg(prefix).arg(i);
    // zbarimg reads the files in order and says nothing for a header label; -Sdisable then
    // -Sqrcode.enable keeps it from taking the label's digits for a linear barcode.
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"),
               QStringList{"-q", "--raw", "-Sdisable", "-Sqrcode.enable"} + images);
    ASSERT_TRUE(zbar.waitForFinished(300000));
    const QStringList decoded = QString::fromUtf8(zbar.readAllStandardOutput())
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList codes = expected;
    codes.removeAll(QString());
    EXPECT_EQ(decoded, codes);
}

} // namespace pla::test

namespace pla::test {

// The print jobs the server has recorded in the demo database.
qint64 RecordedPrints(const QString& database) {
    qint64 jobs = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "prints");
        db.setDatabaseName(database);
        if (db.open()) {
            QSqlQuery q(QStringLiteral("SELECT COUNT(*) FROM DISTIMPRESSAO"), db);
            if (q.next()) jobs = q.value(0).toLongLong();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("prints"));
    return jobs;
}

// For a script that prints at night: the same labels straight to the printer's raw port, byte
// for byte what --zpl writes, and a printer that is not there fails the run with the reason.
// Each job that came out is recorded as printed; the failed one is not.
TEST_F(DemoDayPrint, TheCommandLineSendsTheDaysLabelsToTheLabelPrinter) {
    const qint64 before = RecordedPrints(database_);
    const QStringList day{"--date",  "2026-12-08",  "--prepared", "2026-12-08 06:30",
                          "--stock", "ROLO-100x50", "--dpi",      "300"};
    const QString file = dir_->filePath(QStringLiteral("noite.zpl"));
    QProcess host;
    StartHost(host, QStringList{"--zpl", file} + day);
    ASSERT_TRUE(host.waitForFinished(120000));
    ASSERT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));

    FakePrinter printer;
    StartHost(host,
              QStringList{"--printer", QStringLiteral("127.0.0.1:%1").arg(printer.Port())} + day);
    ASSERT_TRUE(host.waitForFinished(120000));
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    EXPECT_EQ(printer.Received(10), written.readAll());
    EXPECT_EQ(RecordedPrints(database_), before + 2);

    int closed = 0;
    {
        FakePrinter gone;
        closed = gone.Port();
    }
    StartHost(host, QStringList{"--printer", QStringLiteral("127.0.0.1:%1").arg(closed)} + day);
    ASSERT_TRUE(host.waitForFinished(120000));
    EXPECT_EQ(host.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(host.readAllStandardError())
                    .contains(QStringLiteral("não está acessível")));
    EXPECT_EQ(RecordedPrints(database_), before + 2);
}

} // namespace pla::test
