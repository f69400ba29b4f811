// Prints, one "name: value unit" line each: moving all 200 dishes of a menu into an individual
// packaging (one capacity call per dish over a loopback connection) and back, beside the bare
// round trip of one capacity call measured in the same run.
#include "bench/distribution/BenchSupport.h"
#include "distribution/DistEmbCard.h"
#include "framework/services/ScriptedDialogs.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TSpeedButton.h"
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

constexpr int kDishes = 200;

QByteArray Fixture() {
    QJsonArray dishes;
    for (int i = 0; i < kDishes; ++i)
        dishes.append(QJsonArray{1, i + 1, "0001", QString("P%1").arg(i + 1),
                                 QString("Prato %1").arg(i + 1), 40, 4.8, 0.5, i + 1, 0.12, "KG"});
    const QJsonArray distribution{
        "",
        Packet({"NRDISTCARD", "CDFILIAL", "QTCOMENSAIS"},
               QJsonArray{QJsonValue(QJsonArray{1, "0001", 40})}),
        Packet({"NRDISTCARD", "NRSEQPRATCAR", "CDFILAUXPRAT", "CDPRATO", "NMPRATO", "QTCOMENSAIS",
                "QTPRATO", "QTEXTRA", "NRORDPRATCAR", "QTPORPESSOA", "SGUNIDADE"},
               dishes),
        Packet({"NREMBDISTCARD", "CDCONTAINER", "QTCONTAINER", "NMCONTAINER", "IDPROPOSITO"},
               QJsonArray{QJsonValue(QJsonArray{1, "00001", 40, "Marmita", "I"})}),
        Packet({"NRSEQPRATCAR", "NREMBDISTCARD", "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "NMPRATO",
                "IDPRINCIPAL", "VRQTDEPRATEMB"},
               {})};
    auto entry = [](const QJsonValue& result) {
        return QJsonArray{QJsonObject{{"result", result}}};
    };
    const QJsonObject methods{
        {"GetGruposServico",
         entry(Ok(Packet({"CDGRUPSERV", "NMGRUPSERV"},
                         QJsonArray{QJsonValue(QJsonArray{"001", "Hospitais"})})))},
        {"GetServicos",
         entry(Ok(
             Packet({"CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO", "IDSITUACAO"},
                    QJsonArray{QJsonValue(QJsonArray{"001", "0001", "00010", "Almoço", "N"})})))},
        {"GetPontosEntrega",
         entry(Ok(
             Packet({"NMRAZSOCCLIE", "NMDESTFILI", "CDDESTFILI", "CDCLIENTE"},
                    QJsonArray{QJsonValue(QJsonArray{"Hospital", "Ala Norte", "001", "12345"})})))},
        {"GetDistribuicao", entry(Ok(distribution))},
        {"GetCapacidadeEmb",
         entry(Ok(Packet({"VRQTDEPRATEMB"}, QJsonArray{QJsonValue(QJsonArray{0.5})})))}};
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
    pla::Dispatch([&] { screen->dbgEmbalagens->SetFocus(); });

    // The bare round trip, on the connection the moves use.
    std::vector<double> call;
    for (int i = 0; i < 400; ++i) {
        const auto start = std::chrono::steady_clock::now();
        screen->CapacidadeEmb(QStringLiteral("0001"), QStringLiteral("P1"),
                              QStringLiteral("00001"));
        call.push_back(MsSince(start));
    }

    std::vector<double> addAll, removeAll;
    bool moved = true;
    for (int round = 0; round < 7; ++round) {
        auto start = std::chrono::steady_clock::now();
        pla::Dispatch([&] { screen->btnAddTPrat->Click(); });
        addAll.push_back(MsSince(start));
        moved = moved && screen->cdsItEmbDistCard->RecordCount() == kDishes &&
                screen->cdsCardapioDisponivel->RecordCount() == 0;

        start = std::chrono::steady_clock::now();
        pla::Dispatch([&] { screen->btnDelTPrat->Click(); });
        removeAll.push_back(MsSince(start));
        moved = moved && screen->cdsItEmbDistCard->RecordCount() == 0 &&
                screen->cdsCardapioDisponivel->RecordCount() == kDishes;
    }

    const double add = Median(addAll);
    std::printf("capacity_call_round_trip_median: %.3f ms\n", Median(call));
    std::printf("add_all_200_dishes_median: %.2f ms\n", add);
    std::printf("add_all_per_dish_median: %.3f ms\n", add / kDishes);
    std::printf("remove_all_200_dishes_median: %.2f ms\n", Median(removeAll));
    std::printf("remove_all_per_dish_median: %.4f ms\n", Median(removeAll) / kDishes);
    const bool clean = dialogs.UncheckedCount() == 0 && moved;
    if (!clean)
        for (const auto& m : dialogs.Messages())
            std::fprintf(stderr, "%s\n", qPrintable(m.text));
    TForm::Free(screen);
    fixture.Stop();
    return clean ? 0 : 1;
}
