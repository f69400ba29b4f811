// Several clerks on one distribution: a save or delete made from an older version is refused
// by name and stores nothing, on one server and across two server processes.
#include "DistributionView.h"
#include "ServerProcess.h"
#include "TestDatabase.h"
#include "appserver/rpc/RemoteMethods.h"
#include "appserver/storage/DistributionStore.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

using namespace pla;
using pla::test::Backend;
using pla::test::DistributionView;

namespace {

const QDate kDate = test::demoToday();
const QJsonArray kPoint{"0001", "00003", "2026-12-08", "10002", "001", "N"};

MATCHER_P(IsConflictBy, who, "") {
    static const QRegularExpression pattern(QStringLiteral(
        "^A distribuição foi alterada por (.+) em \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d\\. "
        "Verifique a distribuição antes de confirmar\\.$"));
    const auto m = pattern.match(arg.value("message").toString());
    *result_listener << "answer " << QJsonDocument(arg).toJson().toStdString();
    return !arg.value("ok").toBool() && m.hasMatch() && m.captured(1) == QString::fromUtf8(who);
}

QJsonObject rpc(httplib::Client& client, const char* method, const QJsonArray& params) {
    const QJsonObject request{
        {"jsonrpc", "2.0"}, {"id", 1}, {"method", method}, {"params", params}};
    const auto res = client.Post("/PLA15400.rdmDistEmbCard",
                                 QJsonDocument(request).toJson().toStdString(), "application/json");
    if (!res) return {};
    return QJsonDocument::fromJson(QByteArray::fromStdString(res->body))
        .object()
        .value("result")
        .toObject();
}

class TwoServersTest : public ::testing::TestWithParam<Backend> {};

TEST_P(TwoServersTest, ASaveFromTheOlderViewIsRefusedAndTheOtherClerksWorkStays) {
    test::ensureApplication();
    test::TestDatabase db(GetParam());
    if (!db.available()) GTEST_SKIP() << db.skipReason().toStdString();
    test::ServerProcess first, second;
    QString error;
    const int portA = first.start(db.address(), error);
    ASSERT_GT(portA, 0) << error.toStdString();
    const int portB = second.start(db.address(), error);
    ASSERT_GT(portB, 0) << error.toStdString();
    httplib::Client a("127.0.0.1", portA), b("127.0.0.1", portB);
    auto load = [&](httplib::Client& c) {
        return DistributionView::of(rpc(c, "GetDistribuicao", kPoint));
    };
    auto save = [&](httplib::Client& c, const DistributionView& v) {
        return rpc(c, "SetDistribuicao", v.saveParams());
    };

    DistributionView setUp = load(a);
    setUp.moveIntoNew(0, QStringLiteral("Primeira"));
    ASSERT_TRUE(save(a, setUp).value("ok").toBool());

    DistributionView viewA = load(a), viewB = load(b);
    ASSERT_TRUE(viewA.version);
    EXPECT_EQ(viewA.version, viewB.version);
    viewA.moveIntoNew(1, QStringLiteral("Segunda"));
    ASSERT_TRUE(save(a, viewA).value("ok").toBool());

    viewB.setRemark(0, QStringLiteral("Frágil"));
    EXPECT_THAT(save(b, viewB), IsConflictBy("usuário local"));
    DistributionView reloaded = load(b);
    ASSERT_EQ(reloaded.packagings.Rows.size(), 2);
    EXPECT_EQ(reloaded.remark(0), QStringLiteral("Primeira"));
    EXPECT_EQ(reloaded.remark(1), QStringLiteral("Segunda"));

    reloaded.setRemark(0, QStringLiteral("Frágil"));
    ASSERT_TRUE(save(b, reloaded).value("ok").toBool());
    const DistributionView last = load(a);
    EXPECT_EQ(last.packagings.Rows.size(), 2);
    EXPECT_EQ(last.remark(0), QStringLiteral("Frágil"));
}

INSTANTIATE_TEST_SUITE_P(Backends, TwoServersTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres));

TDataPacket generationPacket(const QString& branch, const QString& service) {
    TDataPacket p;
    p.Fields = {{"IDMARCADO", TFieldType::String, 1},
                {"CDFILIAL", TFieldType::String, 4},
                {"CDSERVFILI", TFieldType::String, 5}};
    p.Rows.push_back({"S", branch, service});
    return p;
}

QJsonObject loadWith(RemoteMethods& m) {
    return m.GetDistribuicao(kPoint[0].toString(), kPoint[1].toString(), kDate,
                             kPoint[3].toString(), kPoint[4].toString(), false);
}

QJsonObject saveWith(RemoteMethods& m, const DistributionView& v) {
    return m.SetDistribuicao(v.number, v.undistributed, v.packagings, v.rows, v.version);
}

TEST(ConflictTest, EveryChangeAdvancesTheVersionAndAnOlderViewCanNeitherSaveNorDelete) {
    struct Case {
        const char* name;
        std::function<QJsonObject(RemoteMethods&, DistributionView&)> first;
        bool secondDeletes;
    };
    const Case cases[] = {
        {"save, then delete from the older view",
         [](RemoteMethods& m, DistributionView& v) {
             v.moveIntoNew(0, QStringLiteral("Ana"));
             return saveWith(m, v);
         },
         true},
        {"delete, then save from the older view",
         [](RemoteMethods& m, DistributionView& v) {
             return m.ApagaDistribuicao(v.number, v.version);
         },
         false},
        {"generation with replace, then save from an open screen",
         [](RemoteMethods& m, DistributionView&) {
             return m.GeraDistribuicaoFilial(kDate, generationPacket("0001", "00003"), true);
         },
         false},
    };
    test::ensureApplication();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestDatabase db(Backend::Sqlite);
        RemoteMethods ana(db.connection(), {},
                          Caller{"ana", "Ana Souza", "0001", false, "10.0.0.5"});
        RemoteMethods bruno(db.connection(), {},
                            Caller{"bruno", "Bruno", "0001", false, "10.0.0.6"});
        DistributionView viewA = DistributionView::of(loadWith(ana));
        DistributionView viewB = DistributionView::of(loadWith(bruno));
        ASSERT_TRUE(c.first(ana, viewA).value("ok").toBool());
        const std::optional<Distribution> before =
            DistributionStore(db.connection()).find(viewB.number);

        viewB.moveIntoNew(1, QStringLiteral("Bruno"));
        EXPECT_THAT(c.secondDeletes ? bruno.ApagaDistribuicao(viewB.number, viewB.version)
                                    : saveWith(bruno, viewB),
                    IsConflictBy("Ana Souza"));
        const std::optional<Distribution> after =
            DistributionStore(db.connection()).find(viewB.number);
        ASSERT_EQ(before.has_value(), after.has_value());
        if (before) {
            EXPECT_EQ(after->version, before->version);
            EXPECT_EQ(after->packagings.size(), before->packagings.size());
        }
    }
}

// The refused clerk asks what was stored since his version: who, the new version, one line per
// save and per changed packaging or dish row; his save over it with that version passes.
TEST(ConflictTest, TheRefusedClerkReadsWhatWasStoredAndMaySaveOverIt) {
    test::ensureApplication();
    test::TestDatabase db(Backend::Sqlite);
    RemoteMethods ana(db.connection(), {}, Caller{"ana", "Ana Souza", "0001", false, "10.0.0.5"});
    RemoteMethods bruno(db.connection(), {}, Caller{"bruno", "Bruno", "0001", false, "10.0.0.6"});
    DistributionView viewA = DistributionView::of(loadWith(ana));
    DistributionView viewB = DistributionView::of(loadWith(bruno));
    ASSERT_TRUE(viewB.version);
    viewA.moveIntoNew(0, QStringLiteral("Ana"));
    ASSERT_TRUE(saveWith(ana, viewA).value("ok").toBool());

    const QJsonObject changes = bruno.GetAlteracoesDistribuicao(viewB.number, *viewB.version);
    ASSERT_TRUE(changes.value("ok").toBool()) << QJsonDocument(changes).toJson().toStdString();
    const QJsonObject data = changes.value("data").toObject();
    EXPECT_EQ(data.value("versao").toInteger(), *viewB.version + 1);
    EXPECT_EQ(data.value("nome").toString(), QStringLiteral("Ana Souza"));
    const QJsonArray lines = data.value("alteracoes").toArray();
    ASSERT_GE(lines.size(), 3); // the save, its packaging, its dish row
    EXPECT_TRUE(lines.at(0).toString().endsWith(QStringLiteral("Ana Souza: gravação")));
    EXPECT_TRUE(lines.at(1).toString().contains(QStringLiteral("embalagem")));

    viewB.moveIntoNew(1, QStringLiteral("Bruno"));
    viewB.version = data.value("versao").toInteger();
    EXPECT_TRUE(saveWith(bruno, viewB).value("ok").toBool());
    // Nothing stored since the version just written.
    const QJsonObject none =
        bruno.GetAlteracoesDistribuicao(viewB.number, *viewB.version + 1).value("data").toObject();
    EXPECT_TRUE(none.value("alteracoes").toArray().isEmpty());
}

} // namespace
