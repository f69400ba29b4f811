#include "framework/ui/Colors.h"

#include <QDir>
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
};

// Runs pla-host offscreen with its data folder in dir.
HostRun RunHost(const QTemporaryDir& dir, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    p.setProcessEnvironment(env);
    p.start(PLA_HOST_BIN, args);
    HostRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        r.errors = "pla-host não terminou";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.errors = QString::fromLocal8Bit(p.readAllStandardError());
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

    // A server that is not there: the host runs and the screen tells the user.
    HostRun noServer = RunHost(dir, {"--modules", PLA_MODULE_DIR, "--server", "127.0.0.1:1", "--db",
                                     dir.filePath("geral.sqlite"), "--screenshot", png});
    EXPECT_EQ(noServer.exitCode, 0) << noServer.errors.toStdString();
    EXPECT_TRUE(noServer.errors.contains("127.0.0.1:1")) << noServer.errors.toStdString();
    EXPECT_TRUE(QFileInfo::exists(png));

    // A database where nothing can be written: a message naming the place, exit status 1.
    QFile blocker(dir.filePath("arquivo"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    HostRun badDb =
        RunHost(dir, {"--db", dir.filePath("arquivo/banco.sqlite"), "--screenshot", png});
    EXPECT_EQ(badDb.exitCode, 1);
    EXPECT_TRUE(badDb.errors.contains(dir.filePath("arquivo"))) << badDb.errors.toStdString();

    // A module folder without the module: the message names the file looked for.
    QDir(dir.path()).mkdir("vazia");
    HostRun noModule = RunHost(dir, {"--modules", dir.filePath("vazia"), "--screenshot", png});
    EXPECT_EQ(noModule.exitCode, 0);
    EXPECT_TRUE(noModule.errors.contains(dir.filePath("vazia/libPkg_PLA15400.so")))
        << noModule.errors.toStdString();

    HostRun badOption = RunHost(dir, {"--server", "semporta"});
    EXPECT_EQ(badOption.exitCode, 1);
    EXPECT_TRUE(badOption.errors.contains("HOST:PORTA"));
}

} // namespace
