#include <gtest/gtest.h>

#include <QJsonObject>

#include "framework/net/NetConnection.h"
#include "host/scenario/FixtureServer.h"

using pla::FixtureServer;

namespace {

const QByteArray kFixture = R"({
  "branches": [["0001", "Cozinha Central"]],
  "methods": {
    "GetServicos": [
      {"params": ["0001", "2026-12-08"], "result": {"ok": true, "data": {"fields": [], "rows": []}}},
      {"result": {"ok": false, "message": "Servidor indisponível"}}
    ]
  }
})";

} // namespace

TEST(FixtureServerTest, FirstMatchingEntryAnswersAndParamlessEntriesMatchAnyCall) {
    FixtureServer fixture(kFixture);
    EXPECT_TRUE(fixture.Answer("GetServicos", QJsonArray{"0001", "2026-12-08"}).toObject().value("ok").toBool());
    EXPECT_EQ(fixture.Answer("GetServicos", QJsonArray{"2026-12-08", "0001"}).toObject().value("message").toString(),
              QStringLiteral("Servidor indisponível"));
    EXPECT_EQ(fixture.Answer("GetPontosEntrega", QJsonArray{"0001", "00010"}).toObject().value("message").toString(),
              QStringLiteral("sem resposta no fixture para GetPontosEntrega [\"0001\",\"00010\"]"));
    EXPECT_EQ(fixture.Branches().size(), 1);
}

TEST(FixtureServerTest, AnswersARealConnectionOverLoopback) {
    FixtureServer fixture(kFixture);
    TNetConnection conn;
    conn.Host = QStringLiteral("127.0.0.1");
    conn.Port = fixture.Start();
    const QJsonValue result = conn.Call(QStringLiteral("GetServicos"), QJsonArray{"0001", "2026-12-08"});
    EXPECT_TRUE(result.toObject().value("ok").toBool()) << conn.LastFailure().toStdString();
    fixture.Stop();
}

TEST(FixtureServerTest, MalformedFixturesAreRefusedWithTheReason) {
    auto reason = [](const QByteArray& text) {
        try {
            FixtureServer f(text);
        } catch (const std::runtime_error& e) {
            return QString::fromUtf8(e.what());
        }
        return QString();
    };
    EXPECT_TRUE(reason("{\"methods\": ").startsWith(QStringLiteral("JSON inválido")));
    EXPECT_EQ(reason("[]"), QStringLiteral("o fixture deve ser um objeto JSON"));
    EXPECT_EQ(reason(R"({"methods": {"GetServicos": {}}})"), QStringLiteral("\"methods.GetServicos\" deve ser uma lista"));
    EXPECT_EQ(reason(R"({"methods": {"GetServicos": [{"params": []}]}})"), QStringLiteral("entrada de \"GetServicos\" sem \"result\""));
}

TEST(FixtureServerTest, ProtocolFaultsGetJsonRpcErrors) {
    FixtureServer fixture(kFixture);
    EXPECT_TRUE(fixture.Handle("not json").contains("-32700"));
    EXPECT_TRUE(fixture.Handle(R"({"jsonrpc":"2.0","id":1})").contains("-32600"));
}
