#include "ServerProcess.h"
#include "framework/ui/Colors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct HostRun {
    int exitCode = -1;
    QString errors;
    QString output;
    qint64 milliseconds = 0;
};

// Runs pla-host with its data folder in dir: offscreen, or with no display at all.
HostRun RunHost(const QTemporaryDir& dir, const QStringList& args, bool display = true,
                int limitMs = 60000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (display) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
    }
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(PLA_HOST_BIN, args);
    HostRun r;
    if (!p.waitForFinished(limitMs)) {
        p.kill();
        p.waitForFinished();
        r.errors = "pla-host não terminou";
        return r;
    }
    r.milliseconds = clock.elapsed();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.errors = QString::fromLocal8Bit(p.readAllStandardError());
    r.output = QString::fromLocal8Bit(p.readAllStandardOutput());
    return r;
}

int CountPixels(const QImage& img, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == colour) ++n;
    return n;
}

TEST(HostProgram, OpensTheDistributionScreenOnTheEmbeddedServerAndWritesItsPicture) {
    QTemporaryDir dir;
    const QString png = dir.filePath("tela.png");
    HostRun r = RunHost(dir, {"--modules", PLA_MODULE_DIR, "--screenshot", png});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    // No box was shown: the screen opened cleanly on the demo data of a first run.
    EXPECT_FALSE(r.errors.contains("Erro:")) << r.errors.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("data/pla-host/distribuicao.sqlite")));
    QImage img(png);
    ASSERT_FALSE(img.isNull());
    // The window opens maximised within the screen (the offscreen one, 800 pixels wide), the
    // distribution screen filling it.
    EXPECT_GE(img.width(), 780);
    EXPECT_LE(img.width(), 800);
    // The entry fields and the work grids are painted in the tooltip-background colour.
    EXPECT_GT(CountPixels(img, clInfoBk), 50000);

    // A second start reuses the database it created.
    HostRun again = RunHost(dir, {"--modules", PLA_MODULE_DIR, "--screenshot", png});
    EXPECT_EQ(again.exitCode, 0) << again.errors.toStdString();
}

TEST(HostProgram, BadSettingsAreReportedClearlyWithoutACrash) {
    QTemporaryDir dir;
    const QString png = dir.filePath("tela.png");

    // A database where nothing can be written: a message naming the place, exit status 1.
    QFile blocker(dir.filePath("arquivo"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    HostRun badDb =
        RunHost(dir, {"--db", dir.filePath("arquivo/banco.sqlite"), "--screenshot", png});
    EXPECT_EQ(badDb.exitCode, 1);
    EXPECT_TRUE(badDb.errors.contains(dir.filePath("arquivo"))) << badDb.errors.toStdString();

    // A module folder without the module: the message names the file looked for, and the
    // picture is written all the same.
    QDir(dir.path()).mkdir("vazia");
    HostRun noModule = RunHost(dir, {"--modules", dir.filePath("vazia"), "--screenshot", png});
    EXPECT_EQ(noModule.exitCode, 1);
    EXPECT_TRUE(noModule.errors.contains(dir.filePath("vazia/libPkg_PLA15400.so")))
        << noModule.errors.toStdString();
    EXPECT_TRUE(QFileInfo::exists(png));

    HostRun badOption = RunHost(dir, {"--server", "semporta"});
    EXPECT_EQ(badOption.exitCode, 1);
    EXPECT_TRUE(badOption.errors.contains("HOST:PORTA"));
}

// The help and the version answer on a terminal without any display.
TEST(HostProgram, HelpAndVersionNeedNoDisplay) {
    QTemporaryDir dir;
    const HostRun help = RunHost(dir, {"--help"}, false);
    EXPECT_EQ(help.exitCode, 0) << help.errors.toStdString();
    EXPECT_TRUE(help.output.contains("--server")) << help.output.toStdString();
    const HostRun version = RunHost(dir, {"--version"}, false);
    EXPECT_EQ(version.exitCode, 0) << version.errors.toStdString();
    EXPECT_TRUE(version.output.startsWith("pla-host ")) << version.output.toStdString();
}

// Given only a server's address, the host reads the branches from that server; a run with
// nobody at the screen never waits on a dialog: each failure ends it within seconds, with
// the reason on the error output.
TEST(HostProgram, AServersAddressIsEnoughAndHeadlessFailuresEndAtOnce) {
    QTemporaryDir dir;
    pla::test::ServerProcess server;
    QString error;
    const int port = server.start(dir.filePath("servidor.sqlite"), error);
    ASSERT_NE(port, 0) << error.toStdString();
    const QString address = QStringLiteral("127.0.0.1:%1").arg(port);
    const QString png = dir.filePath("tela.png");

    // The screen validates the branch through the server and loads its services.
    const HostRun served = RunHost(dir, {"--modules", PLA_MODULE_DIR, "--server", address,
                                         "--focus", "dbgPadrao", "--screenshot", png});
    EXPECT_EQ(served.exitCode, 0) << served.errors.toStdString();
    EXPECT_FALSE(served.errors.contains("Erro:")) << served.errors.toStdString();

    const QStringList pdf{"--modules", PLA_MODULE_DIR,          "--module", "PLA15500",
                          "--pdf",     dir.filePath("dia.pdf"), "--date",   "2026-12-08"};
    const struct {
        const char* what;
        QStringList args;
        const char* reason;
    } failures[] = {
        {"filial desconhecida", pdf + QStringList{"--branch", "9999", "--server", address},
         "Filial 9999 não cadastrada."},
        {"servidor fora do ar", pdf + QStringList{"--branch", "0001", "--server", "127.0.0.1:1"},
         "127.0.0.1:1"},
        {"banco geral inalcançável",
         pdf + QStringList{"--branch", "0001", "--server", address, "--db",
                           "postgresql://pla@127.0.0.1:1/pla"},
         "banco de dados geral"},
        {"tela sem servidor",
         {"--modules", PLA_MODULE_DIR, "--server", "127.0.0.1:1", "--focus", "dbgPadrao",
          "--screenshot", png},
         "127.0.0.1:1"},
    };
    for (const auto& f : failures) {
        const HostRun r = RunHost(dir, f.args, true, 20000);
        EXPECT_EQ(r.exitCode, 1) << f.what << ": " << r.errors.toStdString();
        EXPECT_TRUE(r.errors.contains(QString::fromUtf8(f.reason)))
            << f.what << ": " << r.errors.toStdString();
        EXPECT_LT(r.milliseconds, 15000) << f.what;
    }
}

} // namespace
