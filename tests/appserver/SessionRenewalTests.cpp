// A session that ends while a clerk works is renewed in place: the call that met the refusal
// asks for the password through the host's renewal, is made once more and stores what it
// carried; a renewal given up leaves the change unsaved, to be confirmed again.
#include "DistributionView.h"
#include "TestDatabase.h"
#include "appserver/EmbeddedServer.h"
#include "appserver/auth/UserStore.h"
#include "appserver/storage/ConnectionPool.h"
#include "framework/net/NetConnection.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace pla;

namespace {

TEST(SessionRenewalTest, AnExpiredSessionIsRenewedAndThePendingSaveMadeOnce) {
    test::ensureApplication();
    QTemporaryDir dir;
    ServerOptions o;
    o.port = 0;
    o.database = dir.filePath(QStringLiteral("sessoes.sqlite"));
    o.demo = true;
    o.today = test::demoToday();
    o.credentialCacheMilliseconds = 0;
    o.sessionLifetime = std::chrono::seconds(1);
    EmbeddedServer server;
    const int port = server.start(o);
    {
        QSqlDatabase db = ConnectionPool::open(DatabaseConfig::parse(o.database), "sessoes");
        UserStore(db).add({"ana", "Ana Souza", "0001", false, true}, "segredo-da-ana");
        db.close();
    }
    QSqlDatabase::removeDatabase("sessoes");

    const auto login = [&] {
        TNetConnection net(QStringLiteral("netLogin"));
        net.Host = QStringLiteral("127.0.0.1");
        net.Port = port;
        net.Authorization = QStringLiteral("Basic ") + QByteArray("ana:segredo-da-ana").toBase64();
        const QString token = net.Call(QStringLiteral("Login"))
                                  .toObject()
                                  .value("data")
                                  .toObject()
                                  .value("token")
                                  .toString();
        TNetConnection::SetDefaultAuthorization(QStringLiteral("Bearer ") + token);
    };
    login();
    QStringList reasons;
    bool giveUp = true;
    TNetConnection::SetSessionRenewal([&](const QString& reason) {
        reasons << reason;
        if (giveUp) return false;
        login();
        return true;
    });

    TNetConnection net(QStringLiteral("netDistEmbCard"));
    net.Host = QStringLiteral("127.0.0.1");
    net.Port = port;
    const QJsonArray point{"0001", "00003", o.today.toString(Qt::ISODate), "10002", "001", "N"};
    test::DistributionView view =
        test::DistributionView::of(net.Call(QStringLiteral("GetDistribuicao"), point).toObject());
    ASSERT_TRUE(view.version);
    view.moveIntoNew(0, QStringLiteral("Depois do almoço"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));

    // Given up: the save fails with the server's reason and nothing is stored.
    const QJsonObject refused =
        net.Call(QStringLiteral("SetDistribuicao"), view.saveParams()).toObject();
    EXPECT_FALSE(refused.value("ok").toBool());
    EXPECT_TRUE(refused.value("message").toString().contains("Sessão inválida ou expirada"))
        << refused.value("message").toString().toStdString();
    ASSERT_EQ(reasons, QStringList{"Sessão inválida ou expirada. Entre novamente."});

    // Renewed: the same save goes through once, with the version it was made from.
    giveUp = false;
    const QJsonObject saved =
        net.Call(QStringLiteral("SetDistribuicao"), view.saveParams()).toObject();
    EXPECT_TRUE(saved.value("ok").toBool()) << saved.value("message").toString().toStdString();
    EXPECT_EQ(reasons.size(), 2);
    const test::DistributionView stored =
        test::DistributionView::of(net.Call(QStringLiteral("GetDistribuicao"), point).toObject());
    EXPECT_EQ(stored.version, *view.version + 1);
    QStringList remarks;
    for (int i = 0; i < stored.packagings.Rows.size(); ++i)
        remarks << stored.remark(i);
    EXPECT_TRUE(remarks.contains("Depois do almoço")) << remarks.join('|').toStdString();
    EXPECT_EQ(reasons.size(), 2); // the new session served the reload without asking again

    TNetConnection::SetSessionRenewal({});
    TNetConnection::SetDefaultAuthorization({});
    server.stop();
}

} // namespace
