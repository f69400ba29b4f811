#include "TestDatabase.h"
#include "TestDistributions.h"
#include "appserver/storage/ConnectionPool.h"
#include "appserver/rpc/DistributionPackets.h"
#include "appserver/storage/DistributionStore.h"
#include "appserver/rpc/RemoteMethods.h"
#include "appserver/storage/Schema.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/transfer/DatabaseBackup.h"
#include "appserver/transfer/DatabaseCopy.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

using namespace pla;
using test::Backend;

namespace {

const DistributionKey kLunch{QStringLiteral("0001"), QStringLiteral("00003"), test::demoToday(),
                             QStringLiteral("10002"), QStringLiteral("001")};

TDataPacket tickedLunch() {
    return test::tickedServices(QStringLiteral("0001"), QStringLiteral("00003"));
}

TEST(BackupTest, ACopyTakenWhileAClientSavesOpensAndItsDistributionsAddUp) {
    test::TestDatabase db(Backend::Sqlite);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("copia.sqlite"));
    std::atomic<bool> stop{false};
    std::atomic<int> saves{0};
    std::thread client([&] {
        {
            QSqlDatabase c = ConnectionPool::open(db.config(), QStringLiteral("backup_client"));
            DistributionStore store(c);
            while (!stop) {
                // Redistributing stores a whole new distribution; saving it rewrites every row.
                const Distribution d = store.load(kLunch, true).distribution;
                store.save(static_cast<double>(d.number), DistributionPackets::undistributed(d),
                           DistributionPackets::packagings(d), DistributionPackets::rows(d));
                ++saves;
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("backup_client"));
    });
    while (saves < 3)
        std::this_thread::yield();
    const DatabaseBackup::Result r = DatabaseBackup::run(db.config(), target);
    const int before = saves;
    while (saves < before + 3)
        std::this_thread::yield();
    stop = true;
    client.join();

    EXPECT_GT(r.bytes, 0);
    EXPECT_EQ(r.schemaVersion, Schema::currentVersion());
    {
        QSqlDatabase copy =
            ConnectionPool::open(DatabaseConfig::parse(target), QStringLiteral("backup_check"));
        QSqlQuery q = SqlUtil::exec(copy, QStringLiteral("SELECT COUNT(*) FROM ITEMBDISTCARD"));
        ASSERT_TRUE(q.next());
        EXPECT_GT(q.value(0).toLongLong(), 0);
        q.finish();
        test::checkEveryDistribution(copy);
        copy.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("backup_check"));
    // A backup never overwrites a file.
    EXPECT_THROW(DatabaseBackup::run(db.config(), target), std::runtime_error);
}

TEST(CopyTest, AfterCopyingToPostgresTheMethodsAnswerTheSamePackets) {
    test::TestDatabase sqlite(Backend::Sqlite);
    test::TestDatabase postgres(Backend::Postgres, false);
    if (!postgres.available()) GTEST_SKIP() << postgres.skipReason().toStdString();
    RemoteMethods local(sqlite.connection());
    ASSERT_TRUE(
        local.GeraDistribuicaoFilial(test::demoToday(), tickedLunch(), false)["ok"].toBool());

    const DatabaseCopy::Result r = DatabaseCopy::run(sqlite.config(), postgres.config());
    EXPECT_EQ(r.schemaVersion, Schema::currentVersion());
    EXPECT_GT(r.rows, 4000);

    RemoteMethods moved(postgres.connection());
    const QDate today = test::demoToday();
    const auto same = [](const QJsonObject& a, const QJsonObject& b, const char* what) {
        EXPECT_TRUE(a["ok"].toBool()) << what;
        EXPECT_EQ(QJsonDocument(a).toJson(QJsonDocument::Compact),
                  QJsonDocument(b).toJson(QJsonDocument::Compact))
            << what;
    };
    same(local.GetGruposServico(), moved.GetGruposServico(), "GetGruposServico");
    for (const char* branch : {"0001", "0002"})
        same(local.GetServicos(branch, today), moved.GetServicos(branch, today), "GetServicos");
    same(local.GetServicosTransportados("0001"), moved.GetServicosTransportados("0001"),
         "GetServicosTransportados");
    same(local.GetPontosEntrega("0001", "00001"), moved.GetPontosEntrega("0001", "00001"),
         "GetPontosEntrega");
    same(local.GetDistribuicao("0001", "00003", today, "10002", "001", false),
         moved.GetDistribuicao("0001", "00003", today, "10002", "001", false), "GetDistribuicao");
    same(local.GetDistribuicao("0001", "00003", today, "", "", false),
         moved.GetDistribuicao("0001", "00003", today, "", "", false), "GetDistribuicao view");
    same(local.GetVdEmbalagens("T"), moved.GetVdEmbalagens("T"), "GetVdEmbalagens");
    same(local.GetCapacidadeEmb("0001", "PR00001", "00010"),
         moved.GetCapacidadeEmb("0001", "PR00001", "00010"), "GetCapacidadeEmb");

    // New distributions and packagings are numbered after the copied ones.
    const QJsonObject next = moved.GeraDistribuicaoFilial(today.addDays(1), tickedLunch(), false);
    EXPECT_TRUE(next["ok"].toBool()) << next["message"].toString().toStdString();
    // The database now holds rows: a second copy is refused.
    EXPECT_THROW(DatabaseCopy::run(sqlite.config(), postgres.config()), std::runtime_error);
}

} // namespace
