// Raw jobs reach the printer byte for byte: straight to a raw port, and through a CUPS queue
// of a scheduler the test starts in a temporary folder. A listener on a free loopback port
// stands in for the printer in both: the queue's device is a socket:// address, since CUPS 2.4
// writes nothing for a raw queue whose device is a file.
#include "framework/print/RawPrinterJob.h"

#include "tests/framework/print/FakePrinter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using pla::test::FakePrinter;

// A job larger than any socket buffer, with the bytes ZPL escapes and accents in UTF-8.
QByteArray Job() {
    QByteArray zpl;
    for (int i = 0; i < 3000; ++i)
        zpl +=
            QStringLiteral("^XA^CI28^FO10,10^A0N,30,30^FH^FDAção _5E %1^FS^XZ\n").arg(i).toUtf8();
    return zpl;
}

} // namespace

TEST(RawPrinterJob, TheRawPortReceivesTheJobByteForByte) {
    FakePrinter printer;
    ASSERT_GT(printer.Port(), 0);
    const QByteArray job = Job();
    QString error;
    ASSERT_TRUE(RawPrinterJob::Send(QStringLiteral("127.0.0.1:%1").arg(printer.Port()), job,
                                    QStringLiteral("Etiquetas"), error))
        << error.toStdString();
    EXPECT_EQ(printer.Received(10), job);
}

TEST(RawPrinterJob, FailuresSayWhatWentWrongInPortuguese) {
    int closedPort = 0;
    {
        FakePrinter gone;
        closedPort = gone.Port();
    }
    struct Case {
        QString destination, says;
    } cases[] = {
        {QStringLiteral("127.0.0.1:%1").arg(closedPort), QStringLiteral("não está acessível")},
        {QStringLiteral("impressora-que-nao-existe.invalid:9100"),
         QStringLiteral("não foi encontrada na rede")},
        {QStringLiteral(" "), QStringLiteral("Nenhuma impressora de etiquetas escolhida")},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(RawPrinterJob::Send(c.destination, "^XA^XZ", QStringLiteral("t"), error));
        EXPECT_TRUE(error.contains(c.says)) << error.toStdString();
    }
    EXPECT_TRUE(RawPrinterJob::IsNetworkAddress(QStringLiteral("192.168.0.50:9100")));
    EXPECT_FALSE(RawPrinterJob::IsNetworkAddress(QStringLiteral("Zebra_ZD220")));
}

// A CUPS scheduler of the test's own: its configuration, spool and socket in a temporary
// folder, one raw queue sending to the fake printer.
TEST(RawPrinterJob, ACupsQueueHandsTheJobToThePrinterUnchanged) {
    const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {"/usr/sbin"});
    if (cupsd.isEmpty()) GTEST_SKIP() << "cupsd (cups) não instalado";
    if (!QFile::exists(QStringLiteral("/usr/lib/cups/backend/socket")))
        GTEST_SKIP() << "backend socket do CUPS ausente (pacote cups)";
    if (::geteuid() != 0) GTEST_SKIP() << "o escalonador do CUPS do teste precisa rodar como root";
    FakePrinter printer;
    QTemporaryDir dir;
    const QString d = dir.path();
    for (const char* sub : {"spool", "cache", "state", "tmp", "log", "ppd"})
        QDir(d).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(d + "/spool", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto write = [&](const char* name, const QString& text) {
        QFile f(d + QLatin1Char('/') + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    };
    const QString socket = d + QStringLiteral("/cups.sock");
    write("cupsd.conf", QStringLiteral("Listen %1\nLogLevel warn\nErrorLog %2/log/error_log\n"
                                       "WebInterface No\nBrowsing No\n<Location />\nOrder "
                                       "allow,deny\nAllow all\n</Location>\n")
                            .arg(socket, d));
    write("cups-files.conf",
          QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir "
                         "%1/state\nTempDir %1/tmp\nErrorLog %1/log/error_log\nAccessLog "
                         "%1/log/access_log\nPageLog %1/log/page_log\nFileDevice Yes\n")
              .arg(d));
    write("printers.conf", QStringLiteral("<Printer etiquetas>\nDeviceURI socket://127.0.0.1:%1\n"
                                          "State Idle\nAccepting Yes\n</Printer>\n")
                               .arg(printer.Port()));
    QProcess scheduler;
    scheduler.start(cupsd, {"-f", "-c", d + "/cupsd.conf", "-s", d + "/cups-files.conf"});
    ASSERT_TRUE(scheduler.waitForStarted());
    for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
        QThread::msleep(100);
    if (!QFile::exists(socket)) {
        scheduler.kill();
        scheduler.waitForFinished();
        GTEST_SKIP() << "o escalonador do CUPS não abriu o socket";
    }
    qputenv("CUPS_SERVER", socket.toUtf8());

    const QByteArray job = Job();
    QString error;
    EXPECT_TRUE(RawPrinterJob::Queues().contains(QStringLiteral("etiquetas")));
    EXPECT_TRUE(
        RawPrinterJob::Send(QStringLiteral("etiquetas"), job, QStringLiteral("Etiquetas"), error))
        << error.toStdString();
    EXPECT_EQ(printer.Received(30), job);
    EXPECT_FALSE(RawPrinterJob::Send(QStringLiteral("sem-fila"), job, QStringLiteral("t"), error));
    EXPECT_TRUE(error.contains(QStringLiteral("A fila de impressão \"sem-fila\" não existe")))
        << error.toStdString();

    qunsetenv("CUPS_SERVER");
    scheduler.terminate();
    scheduler.waitForFinished(10000);
}
