#include "remote/DistEmbCardMethods.h"

#include "framework/data/Abort.h"
#include "framework/data/ClientDataSet.h"
#include "framework/net/NetConnection.h"
#include "tests/remote/LoopbackServer.h"
#include "tests/remote/TestEnvironment.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using pla::DistEmbCardMethods;
using pla::test::LoopbackServer;
using pla::test::TestEnvironment;

namespace {

QJsonArray Json(const char* text) {
    return QJsonDocument::fromJson(QByteArray(text)).array();
}

// A fixture whose every method answers with the given JSON result.
QByteArray FixtureWith(const QString& methodsJson) {
    return QStringLiteral(R"({"methods": {%1}})").arg(methodsJson).toUtf8();
}

const char* kOk = R"({"ok": true, "data": null})";
const char* kEmptyPacket = R"({"ok": true, "data": {"fields": [], "rows": []}})";

class MethodsTest : public ::testing::Test {
protected:
    void Serve(const QString& methodsJson) {
        server = std::make_unique<LoopbackServer>(FixtureWith(methodsJson));
        net.Host = QStringLiteral("127.0.0.1");
        net.Port = server->Start();
        net.Connect();
    }

    // A dataset shaped like the service list, holding one service.
    void FillServices(TClientDataSet& ds) {
        for (const char* name : {"CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO", "IDSITUACAO"})
            ds.AddField({QString::fromLatin1(name), TFieldType::String, 40});
        ds.SetData({{{"CDGRUPSERV"}, {"CDFILIAL"}, {"CDSERVFILI"}, {"NMSERVICO"}, {"IDSITUACAO"}},
                    {{"001", "0001", "00010", "Almoço", "N"}}});
    }

    pla::ScriptedDialogs& dialogs = TestEnvironment::Install();
    // Declared before the connection, so the connection closes before the server stops.
    std::unique_ptr<LoopbackServer> server;
    TNetConnection net;
    DistEmbCardMethods methods{net};
};

TEST_F(MethodsTest, EveryMethodSendsItsArgumentsInOrderAndKind) {
    QStringList entries;
    for (const char* m : {"GetServicos", "GetServicosTransportados", "GetPontosEntrega",
                          "GetVdEmbalagens", "GetCapacidadeEmb"})
        entries << QStringLiteral(R"("%1": [{"result": %2}])")
                       .arg(QLatin1String(m), QLatin1String(kEmptyPacket));
    for (const char* m : {"SetDistribuicao", "ApagaDistribuicao", "GeraDistribuicaoFilial"})
        entries << QStringLiteral(R"("%1": [{"result": %2}])")
                       .arg(QLatin1String(m), QLatin1String(kOk));
    entries << QStringLiteral(
        R"("GetDistribuicao": [{"result": {"ok": true, "data": ["", {"fields":[],"rows":[]},
           {"fields":[],"rows":[]}, {"fields":[],"rows":[]}, {"fields":[],"rows":[]}]}}])");
    Serve(entries.join(QLatin1Char(',')));

    TClientDataSet services, packagings;
    FillServices(services);
    packagings.AddField({"CDCONTAINER", TFieldType::String, 5});
    const QDate date(2026, 12, 8);
    const TDataPacket one{{{"NRSEQPRATCAR", TFieldType::Float}}, {{2.0}}};

    methods.GetServicos("0001", date, services);
    methods.GetServicosTransportados("0002", services);
    methods.GetPontosEntrega("0001", "00010");
    methods.GetDistribuicao("0001", "00010", date, "12345", "001", "S");
    methods.SetDistribuicao(77, one, one, one);
    methods.GetVdEmbalagens("T", packagings);
    methods.GetCapacidadeEmb("0003", "PR01", "CX001");
    methods.ApagaDistribuicao(78);
    methods.GeraDistribuicaoFilial(date, one, "N");

    EXPECT_EQ(server->Params("GetServicos").at(0), Json(R"(["0001","2026-12-08"])"));
    EXPECT_EQ(server->Params("GetServicosTransportados").at(0), Json(R"(["0002"])"));
    EXPECT_EQ(server->Params("GetPontosEntrega").at(0), Json(R"(["0001","00010"])"));
    EXPECT_EQ(server->Params("GetDistribuicao").at(0),
              Json(R"(["0001","00010","2026-12-08","12345","001","S"])"));
    const QJsonArray set = server->Params("SetDistribuicao").at(0);
    ASSERT_EQ(set.size(), 4);
    EXPECT_EQ(set.at(0).toDouble(), 77.0);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(set.at(i).toObject().value("rows").toArray(), Json("[[2]]"));
    EXPECT_EQ(server->Params("GetVdEmbalagens").at(0), Json(R"(["T"])"));
    EXPECT_EQ(server->Params("GetCapacidadeEmb").at(0), Json(R"(["0003","PR01","CX001"])"));
    EXPECT_EQ(server->Params("ApagaDistribuicao").at(0), Json("[78]"));
    const QJsonArray gera = server->Params("GeraDistribuicaoFilial").at(0);
    ASSERT_EQ(gera.size(), 3);
    EXPECT_EQ(gera.at(0).toString(), "2026-12-08");
    EXPECT_TRUE(gera.at(1).isObject());
    EXPECT_EQ(gera.at(2).toString(), "N");
    EXPECT_EQ(server->Count("GetGruposServico"), 0);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
    EXPECT_EQ(dialogs.BusyDepth(), 0);
}

TEST_F(MethodsTest, RefusedCallShowsTheServerTextAndLeavesTheDatasetAsItWas) {
    Serve(R"("GetServicos": [{"result": {"ok": false, "message": "Servidor indisponível"}}])");
    TClientDataSet services;
    FillServices(services);

    EXPECT_THROW(methods.GetServicos("0001", QDate(2026, 12, 8), services), Abort);

    EXPECT_EQ(dialogs.TakeMessage()->text, "Servidor indisponível");
    EXPECT_EQ(services.RecordCount(), 1);
    EXPECT_EQ(services.FieldByName("NMSERVICO").AsString(), "Almoço");
    EXPECT_EQ(dialogs.BusyDepth(), 0);
    EXPECT_GE(dialogs.BusyShownCount(), 1);
}

TEST_F(MethodsTest, ServerDownIsReportedWithItsAddress) {
    net.Host = QStringLiteral("127.0.0.1");
    net.Port = 1; // nothing listens there
    net.Connect();
    EXPECT_THROW(methods.GetGruposServico(), Abort);
    const auto shown = dialogs.TakeMessage();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->text.contains("127.0.0.1:1")) << shown->text.toStdString();
    EXPECT_EQ(dialogs.BusyDepth(), 0);
}

TEST_F(MethodsTest, GroupsAndDeliveryPointsComeInPacketOrder) {
    Serve(
        R"("GetGruposServico": [{"result": {"ok": true, "data": {"fields": ["CDGRUPSERV", "NMGRUPSERV"],
              "rows": [["009", "Hospitais"], ["001", "Escolas"], ["A'1", "Empresas"]]}}}],
             "GetPontosEntrega": [{"result": {"ok": true, "data": {
              "fields": ["NMRAZSOCCLIE", "NMDESTFILI", "CDDESTFILI", "CDCLIENTE"],
              "rows": [["Cliente Um", "Portaria", "001", "12345"], [null, "Cozinha", "002", "7"]]}}}])");
    const auto groups = methods.GetGruposServico();
    ASSERT_EQ(groups.size(), 3);
    EXPECT_EQ(groups[0].code, "009");
    EXPECT_EQ(groups[2].name, "Empresas");
    EXPECT_EQ(groups[2].code, "A'1");

    const auto points = methods.GetPontosEntrega("0001", "00010");
    ASSERT_EQ(points.size(), 2);
    EXPECT_EQ(points[0].clientCode, "12345");
    EXPECT_EQ(points[1].clientName, "");
    EXPECT_EQ(points[1].destinationCode, "002");
}

TEST_F(MethodsTest, WrongShapedPayloadsAreRefusedClearly) {
    Serve(
        R"("GetGruposServico": [{"result": {"ok": true, "data": {"fields": ["CDGRUPSERV"], "rows": [["001"]]}}}],
             "GetDistribuicao": [
               {"params": ["0001","1","2026-12-08","","","N"], "result": {"ok": true, "data": ["", {"fields":[],"rows":[]}, {"fields":[],"rows":[]}, {"fields":[],"rows":[]}]}},
               {"params": ["0001","2","2026-12-08","","","N"], "result": {"ok": true, "data": [{"fields":[],"rows":[]}, {"fields":[],"rows":[]}, {"fields":[],"rows":[]}, {"fields":[],"rows":[]}, {"fields":[],"rows":[]}]}},
               {"params": ["0001","3","2026-12-08","","","N"], "result": {"ok": true, "data": {"fields":[],"rows":[]}}}],
             "GetServicos": [{"result": {"ok": true, "data": {"fields": ["CDSERVFILI"], "rows": [["1", "2"]]}}}])");
    TClientDataSet services;
    FillServices(services);
    const QDate date(2026, 12, 8);

    EXPECT_THROW(methods.GetGruposServico(), Abort);
    EXPECT_TRUE(dialogs.TakeMessage()->text.contains("NMGRUPSERV"));
    EXPECT_THROW(methods.GetDistribuicao("0001", "1", date, "", "", "N"), Abort);
    EXPECT_TRUE(dialogs.TakeMessage()->text.contains("5 elementos"));
    EXPECT_THROW(methods.GetDistribuicao("0001", "2", date, "", "", "N"), Abort);
    EXPECT_TRUE(dialogs.TakeMessage()->text.contains("mensagem"));
    EXPECT_THROW(methods.GetDistribuicao("0001", "3", date, "", "", "N"), Abort);
    EXPECT_TRUE(dialogs.TakeMessage()->text.startsWith("Resposta inválida do servidor"));
    EXPECT_THROW(methods.GetServicos("0001", date, services), Abort);
    EXPECT_TRUE(dialogs.TakeMessage()->text.contains("GetServicos"));
    EXPECT_EQ(services.FieldByName("NMSERVICO").AsString(), "Almoço");
    EXPECT_EQ(dialogs.BusyDepth(), 0);
}

TEST_F(MethodsTest, DistributionThatDoesNotFitOneSetTouchesNoSet) {
    TClientDataSet header, available, packagings, rows;
    header.AddField({"NRDISTCARD", TFieldType::Float});
    available.AddField({"NRSEQPRATCAR", TFieldType::Float});
    packagings.AddField({"NREMBDISTCARD", TFieldType::Float});
    rows.AddField({"QTPRATO", TFieldType::Float});
    header.SetData({{{"NRDISTCARD", TFieldType::Float}}, {{1.0}}});
    available.SetData({{{"NRSEQPRATCAR", TFieldType::Float}}, {{1.0}}});
    packagings.SetData({{{"NREMBDISTCARD", TFieldType::Float}}, {{1.0}}});
    rows.SetData({{{"QTPRATO", TFieldType::Float}}, {{1.0}}});

    pla::DistributionPayload payload;
    payload.header = {{{"NRDISTCARD", TFieldType::Float}}, {{9.0}}};
    payload.available = {{{"NRSEQPRATCAR", TFieldType::Float}}, {{9.0}}};
    payload.packagings = {{{"NREMBDISTCARD", TFieldType::Float}}, {{9.0}}};
    payload.dishRows = {{{"QTPRATO", TFieldType::String, 10}}, {{QString("muito")}}};

    EXPECT_THROW(DistEmbCardMethods::LoadDistribution(payload, header, available, packagings, rows),
                 Abort);
    EXPECT_TRUE(dialogs.TakeMessage()->text.contains("elemento 4"));
    EXPECT_EQ(header.FieldByName("NRDISTCARD").AsFloat(), 1.0);
    EXPECT_EQ(available.FieldByName("NRSEQPRATCAR").AsFloat(), 1.0);
    EXPECT_EQ(packagings.FieldByName("NREMBDISTCARD").AsFloat(), 1.0);
    EXPECT_EQ(rows.FieldByName("QTPRATO").AsFloat(), 1.0);
}

TEST_F(MethodsTest, CapacityIsTheFirstRecordsValueOrZero) {
    Serve(R"("GetCapacidadeEmb": [
               {"params": ["0001","P1","CX"], "result": {"ok": true, "data": {"fields": [{"name":"VRQTDEPRATEMB","type":"float"}], "rows": [[2.5],[9]]}}},
               {"result": {"ok": true, "data": {"fields": [{"name":"VRQTDEPRATEMB","type":"float"}], "rows": []}}}])");
    EXPECT_DOUBLE_EQ(methods.GetCapacidadeEmb("0001", "P1", "CX"), 2.5);
    EXPECT_DOUBLE_EQ(methods.GetCapacidadeEmb("0001", "P2", "CX"), 0.0);
}

} // namespace
