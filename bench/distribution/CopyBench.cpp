// Prints, one "name: value unit" line each: copying one delivery point's distribution out of
// a large branch day (300 services × 2 points × 15 dishes, each dish in its own pan) against a
// loopback fixture, from the call to the sets loaded in change mode, and its remote calls.
#include "bench/distribution/BenchSupport.h"
#include "distribution/DistEmbCard.h"
#include "framework/net/RemoteCallLog.h"
#include "framework/services/ScriptedDialogs.h"
#include "framework/ui/Dispatch.h"
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
using pla::bench::MsSince;
using pla::bench::Ok;
using pla::bench::Packet;

constexpr int kServices = 300, kPoints = 2, kDishes = 15;

QByteArray Fixture() {
    QJsonArray dishes, services, packagings, dishRows;
    for (int d = 0; d < kDishes; ++d)
        dishes.append(QJsonArray{1, d + 1, "0001", QString("P%1").arg(d), 120, 18, 1.2, 120, 18,
                                 1.2, d + 1, 0.15, QString("Prato %1").arg(d), "KG"});
    int number = 0;
    for (int s = 0; s < kServices; ++s) {
        const QString service = QString("%1").arg(s + 1, 5, 10, QChar('0'));
        services.append(QJsonArray{service, QString("Serviço %1").arg(s + 1)});
        for (int p = 0; p < kPoints; ++p)
            for (int d = 0; d < kDishes; ++d) {
                ++number;
                packagings.append(QJsonArray{number, s * kPoints + p + 1, service,
                                             QString::number(1000 + p), "001", "CX001", "Cuba", "C",
                                             2, "Cuba do prato"});
                dishRows.append(QJsonArray{number, d + 1, QString("P%1").arg(d),
                                           QString("Prato %1").arg(d), "KG", 100, 15, 1, 0});
            }
    }
    const QJsonArray day{
        Packet({"CDSERVFILI", "NMSERVICO"}, services),
        Packet({"NREMBDISTCARD", "NRDISTCARD", "CDSERVFILI", "CDCLIENTE", "CDDESTFILI",
                "CDCONTAINER", "NMCONTAINER", "IDPROPOSITO", "QTCONTAINER", "DSOBSETIQUETA"},
               packagings),
        Packet({"NREMBDISTCARD", "NRORDPRATCAR", "CDPRATO", "NMPRATO", "SGUNIDADE", "QTCOMENSAIS",
                "QTPRATO", "QTEXTRA", "QTHORASVALIDADE"},
               dishRows),
        Packet({}, {})};
    const QJsonArray distribution{
        "",
        Packet({"NRDISTCARD", "CDFILIAL", "QTCOMENSAIS"},
               QJsonArray{QJsonValue(QJsonArray{1, "0001", 120})}),
        Packet({"NRDISTCARD", "NRSEQPRATCAR", "CDFILAUXPRAT", "CDPRATO", "QTTOTCOMENSAIS",
                "QTTOTPRATO", "QTTOTEXTRA", "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "NRORDPRATCAR",
                "QTPORPESSOA", "NMPRATO", "SGUNIDADE"},
               dishes),
        Packet({"NREMBDISTCARD", "CDCONTAINER", "QTCONTAINER", "NMCONTAINER", "IDPROPOSITO"}, {}),
        Packet({"NRSEQPRATCAR", "NREMBDISTCARD", "QTCOMENSAIS"}, {})};
    auto entry = [](const QJsonValue& result) {
        return QJsonArray{QJsonObject{{"result", result}}};
    };
    const QJsonObject methods{
        {"GetGruposServico", entry(Ok(Packet({"CDGRUPSERV", "NMGRUPSERV"}, {})))},
        {"GetServicos",
         entry(Ok(Packet(
             {"CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO", "IDSITUACAO"},
             QJsonArray{QJsonValue(QJsonArray{"001", "0001", "00001", "Serviço 1", "S"})})))},
        {"GetPontosEntrega",
         entry(
             Ok(Packet({"NMRAZSOCCLIE", "NMDESTFILI", "CDDESTFILI", "CDCLIENTE"},
                       QJsonArray{QJsonValue(QJsonArray{"Cliente", "Destino", "001", "1000"})})))},
        {"GetDistribuicao", entry(Ok(distribution))},
        {"GetCapacidadeEmb",
         entry(Ok(Packet({"VRQTDEPRATEMB"}, QJsonArray{QJsonValue(QJsonArray{10})})))},
        {"GetImpressaoDistribuicao", entry(Ok(day))}};
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

    std::vector<double> copy;
    int calls = 0, packagings = 0;
    bool copied = true;
    for (int i = 0; i < 10; ++i) {
        // Back to the stored distribution, outside the timing.
        pla::Dispatch([&] { screen->GetDistribuicao(QStringLiteral("N"), false); });
        log.Reset();
        const auto start = std::chrono::steady_clock::now();
        copied = pla::Dispatch([&] { screen->CopiaDistribuicao(QDate(2026, 12, 1)); }) && copied;
        copy.push_back(MsSince(start));
        calls = log.Total();
        packagings = screen->cdsEmbDistCard->TotalRecordCount();
    }

    std::printf("copy_point_from_branch_day_300x2x15_median: %.3f ms\n", Median(copy));
    std::printf("copy_remote_calls: %d calls\n", calls);
    std::printf("copy_packagings: %d packagings\n", packagings);
    const bool clean = dialogs.UncheckedCount() == 0;
    TForm::Free(screen);
    fixture.Stop();
    return clean && copied && packagings == kDishes ? 0 : 1;
}
