// Prints, one "name: value unit" line each: a whole service reload (200 services, 20 delivery
// points, the distribution of the selected point) against a loopback fixture, its remote calls,
// and one enabling pass.
#include "bench/distribution/BenchSupport.h"
#include "distribution/DistEmbCard.h"
#include "framework/net/RemoteCallLog.h"
#include "framework/services/ScriptedDialogs.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TDBGrid.h"
#include "host/scenario/FixtureServer.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using pla::bench::Median;
using pla::bench::Ok;
using pla::bench::Packet;

QByteArray Fixture() {
    QJsonArray services, points, dishes, packagings, dishRows;
    for (int i = 0; i < 200; ++i)
        services.append(QJsonArray{QString("%1").arg(i % 5, 3, 10, QChar('0')), "0001",
                                   QString("%1").arg(i + 1, 5, 10, QChar('0')),
                                   QString("Serviço %1").arg(i + 1), i % 3 ? "N" : "I"});
    for (int i = 0; i < 20; ++i)
        points.append(QJsonArray{
            QString("Cliente número %1 de teste").arg(i + 1), QString("Destino %1").arg(i + 1),
            QString("%1").arg(i + 1, 3, 10, QChar('0')), QString::number(1000 + i)});
    for (int i = 0; i < 30; ++i) {
        dishes.append(QJsonArray{1, i + 1, QString("P%1").arg(i), QString("Prato %1").arg(i), 10,
                                 1.5, 0.1, i, 0.15});
        dishRows.append(QJsonArray{i + 1, 1 + i % 5, 5, 0.75, 0, QString("Prato %1").arg(i), "N"});
    }
    for (int i = 0; i < 5; ++i)
        packagings.append(QJsonArray{i + 1, "CX001", 4, "Caixa", "C"});
    const QJsonArray distribution{
        "",
        Packet({"NRDISTCARD", "CDFILIAL", "QTCOMENSAIS"},
               QJsonArray{QJsonValue(QJsonArray{1, "0001", 120})}),
        Packet({"NRDISTCARD", "NRSEQPRATCAR", "CDPRATO", "NMPRATO", "QTCOMENSAIS", "QTPRATO",
                "QTEXTRA", "NRORDPRATCAR", "QTPORPESSOA"},
               dishes),
        Packet({"NREMBDISTCARD", "CDCONTAINER", "QTCONTAINER", "NMCONTAINER", "IDPROPOSITO"},
               packagings),
        Packet({"NRSEQPRATCAR", "NREMBDISTCARD", "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "NMPRATO",
                "IDPRINCIPAL"},
               dishRows)};
    auto entry = [](const QJsonValue& result) {
        return QJsonArray{QJsonObject{{"result", result}}};
    };
    const QJsonObject methods{
        {"GetGruposServico",
         entry(Ok(Packet({"CDGRUPSERV", "NMGRUPSERV"},
                         QJsonArray{QJsonValue(QJsonArray{"001", "Hospitais"})})))},
        {"GetServicos",
         entry(Ok(Packet({"CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO", "IDSITUACAO"},
                         services)))},
        {"GetPontosEntrega",
         entry(Ok(Packet({"NMRAZSOCCLIE", "NMDESTFILI", "CDDESTFILI", "CDCLIENTE"}, points)))},
        {"GetDistribuicao", entry(Ok(distribution))}};
    return QJsonDocument(QJsonObject{{"methods", methods}}).toJson(QJsonDocument::Compact);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    pla::ScriptedDialogs dialogs;
    pla::FixtureServer fixture(Fixture());
    TfrmDistEmbCard* screen = pla::bench::OpenScreen(dialogs, fixture.Start());
    if (!screen) return 1;

    pla::RemoteCallLog log;
    TNetConnection::AddGlobalCallObserver(
        [&log](const QString& m, const QJsonArray& p) { log.Record(m, p); });

    std::vector<double> reload;
    int calls = 0, pointCalls = 0, distributionCalls = 0;
    for (int i = 0; i < 30; ++i) {
        log.Reset();
        const auto start = std::chrono::steady_clock::now();
        pla::Dispatch([&] { screen->sbtVerificar->Click(); });
        reload.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        calls = log.Total();
        pointCalls = log.Count(QStringLiteral("GetPontosEntrega"));
        distributionCalls = log.Count(QStringLiteral("GetDistribuicao"));
    }

    constexpr int passes = 20000;
    std::vector<double> pass;
    for (int round = 0; round < 10; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < passes; ++i)
            screen->Habilita();
        pass.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count() /
            passes);
    }

    std::printf("service_reload_200x20_median: %.3f ms\n", Median(reload));
    std::printf("service_reload_remote_calls: %d calls\n", calls);
    std::printf("service_reload_GetPontosEntrega_calls: %d calls\n", pointCalls);
    std::printf("service_reload_GetDistribuicao_calls: %d calls\n", distributionCalls);
    std::printf("enabling_pass_median: %.3f us\n", Median(pass));
    const bool clean = dialogs.UncheckedCount() == 0;
    TForm::Free(screen);
    fixture.Stop();
    return clean && calls == 4 ? 0 : 1;
}
