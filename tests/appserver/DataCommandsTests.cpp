#include "TestDatabase.h"
#include "TestDistributions.h"
#include "appserver/storage/DistributionStore.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pla;

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

TEST(DataCommandsTest, TheExitCodeSaysWhatTheImportDid) {
    test::TestDatabase db(test::Backend::Sqlite);
    DistributionStore(db.connection())
        .generate(test::demoToday(),
                  test::tickedServices(QStringLiteral("0001"), QStringLiteral("00003")), false);
    QTemporaryDir dir;
    const QString good = dir.filePath("grupos.csv"), bad = dir.filePath("grupos_ruins.csv"),
                  menu = dir.filePath("cardapios_2026-12-08.csv");
    write(good, "CDGRUPSERV;NMGRUPSERV\n7;Clubes\n");
    write(bad, "CDGRUPSERV;NMGRUPSERV\n008;Clubes\n0008;Longo\n");
    // The distributed lunch with other diners of the day.
    write(menu, "CDFILIAL;CDSERVFILI;DTCARDAPIO;NRCARDAPIO;QTCOMENSAIS;NRORDPRATCAR;CDPRATO\n"
                "0001;00003;08/12/2026;X1;999;1;PR00001\n");
    const struct {
        QStringList args;
        int code;
        const char* says; // on stdout or stderr
    } cases[] = {
        {{"import", "--db", db.address(), bad}, 1, "grupos_ruins.csv:3:1: CDGRUPSERV"},
        {{"import", "--db", db.address(), "--dry-run", good}, 0, "nada foi gravado"},
        {{"import", "--db", db.address(), good}, 0, "grupos: 1 linhas; 1 novos"},
        {{"import", "--db", db.address(), good}, 0, "1 sem mudança"},
        {{"import", "--db", db.address(), menu}, 3, "mantido como estava"},
        {{"import", "--db", db.address()}, 2, "Informe os arquivos"},
        {{"export", "--db", db.address(), "--kind", "pratos,nada", dir.path()}, 2, "nada"},
    };
    for (const auto& c : cases) {
        QProcess p;
        p.start(QStringLiteral(PLA_APPSERVER_EXE), c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString output =
            QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), c.code) << c.args.join(' ').toStdString() << "\n"
                                        << output.toStdString();
        EXPECT_TRUE(output.contains(QString::fromUtf8(c.says))) << output.toStdString();
    }
}

} // namespace
