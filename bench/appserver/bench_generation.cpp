// A large branch generation: one branch of 300 services x 2 delivery points x 15 dishes, its
// distributions generated in one GeraDistribuicaoFilial call, with packing rules per branch,
// service and delivery point and the fewest containers out of three pan sizes; on SQLite and on
// PostgreSQL. `--plain` generates the same data with every dish in its default container and no
// rules. Prints one "name: value unit" line per figure: the whole call and the time per generated
// distribution, first on an empty day, then replacing what the first call stored; and the mix
// of one dish at its hardest.
#include "CsvFolder.h"
#include "TestDatabase.h"
#include "appserver/rpc/JsonRpcDispatcher.h"
#include "appserver/storage/ContainerMix.h"
#include "appserver/transfer/CsvWriter.h"
#include "appserver/transfer/DataImporter.h"
#include "framework/data/PacketCodec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace pla;

namespace {

constexpr int kServices = 300, kPoints = 2, kDishesPerMenu = 15, kDishKinds = 60, kReplaces = 3;
const QString kBranch = QStringLiteral("0700");
const QString kDate = QStringLiteral("2027-03-10");

QString dish(int d) {
    return QStringLiteral("P7%1").arg(bench::paddedCode(d, 4));
}
QString service(int s) {
    return bench::paddedCode(s, 5);
}
QString client(int s) {
    return QStringLiteral("C7%1").arg(bench::paddedCode(s, 3));
}

void writeFiles(const QDir& dir, bool plain) {
    bench::CsvFolder folder(dir);
    // Plain data leaves the setting out, so that it also runs where the setting is unknown.
    folder.file("filiais.csv",
                plain ? QStringList{"CDFILIAL", "NMFILIAL"}
                      : QStringList{"CDFILIAL", "NMFILIAL", "IDPROPOSTAEMB"},
                [&](CsvWriter& w) {
                    if (plain)
                        w.add({kBranch, "Cozinha Grande"});
                    else
                        w.add({kBranch, "Cozinha Grande", "V"});
                });
    folder.file("grupos.csv", {"CDGRUPSERV", "NMGRUPSERV"}, [](CsvWriter& w) {
        w.add({"701", "Contratos"});
    });
    folder.file("servicos.csv", {"CDFILIAL", "CDSERVFILI", "NMSERVICO", "CDGRUPSERV"},
                [](CsvWriter& w) {
                    for (int s = 1; s <= kServices; ++s)
                        w.add({kBranch, service(s), QStringLiteral("Serviço %1").arg(s), "701"});
                });
    folder.file("clientes.csv", {"CDCLIENTE", "NMRAZSOCCLIE"}, [](CsvWriter& w) {
        for (int s = 1; s <= kServices; ++s)
            w.add({client(s), QStringLiteral("Cliente %1").arg(s)});
    });
    folder.file("destinos.csv", {"CDCLIENTE", "CDDESTFILI", "NMDESTFILI"}, [](CsvWriter& w) {
        for (int s = 1; s <= kServices; ++s)
            for (int d = 1; d <= kPoints; ++d)
                w.add({client(s), bench::paddedCode(d, 3), QStringLiteral("Destino %1").arg(d)});
    });
    folder.file("pontos.csv", {"CDFILIAL", "CDSERVFILI", "CDCLIENTE", "CDDESTFILI", "QTCOMENSAIS"},
                [](CsvWriter& w) {
                    for (int s = 1; s <= kServices; ++s)
                        for (int d = 1; d <= kPoints; ++d)
                            w.add({kBranch, service(s), client(s), bench::paddedCode(d, 3),
                                   QString::number(40 * d + s % 400)});
                });
    folder.file("embalagens.csv", {"CDCONTAINER", "NMCONTAINER", "IDPROPOSITO"}, [](CsvWriter& w) {
        w.add({"70001", "Marmita", "I"});
        w.add({"70010", "Cuba GN 1/1", "C"});
        w.add({"70011", "Cuba GN 1/2", "C"});
        w.add({"70012", "Cuba GN 1/3", "C"});
    });
    // One dish in four travels in individual boxes by default, the others in full-size pans.
    folder.file("pratos.csv",
                {"CDFILAUXPRAT", "CDPRATO", "NMPRATO", "SGUNIDADE", "QTPORPESSOA", "QTEXTRA",
                 "CDCONTPADRAO"},
                [](CsvWriter& w) {
                    for (int d = 1; d <= kDishKinds; ++d)
                        w.add({kBranch, dish(d), QStringLiteral("Prato %1").arg(d), "KG", "0,12",
                               "0,5", d % 4 == 0 ? "70001" : "70010"});
                });
    folder.file("capacidades.csv", {"CDFILAUXPRAT", "CDPRATO", "CDCONTAINER", "VRQTDEPRATEMB"},
                [](CsvWriter& w) {
                    for (int d = 1; d <= kDishKinds; ++d) {
                        w.add({kBranch, dish(d), "70001", "0,5"});
                        w.add({kBranch, dish(d), "70010", "6"});
                        w.add({kBranch, dish(d), "70011", "2,8"});
                        w.add({kBranch, dish(d), "70012", "1,9"});
                    }
                });
    folder.file("cardapios.csv",
                {"CDFILIAL", "CDSERVFILI", "DTCARDAPIO", "NRCARDAPIO", "QTCOMENSAIS",
                 "NRORDPRATCAR", "CDPRATO"},
                [](CsvWriter& w) {
                    for (int s = 1; s <= kServices; ++s)
                        for (int k = 0; k < kDishesPerMenu; ++k)
                            w.add({kBranch, service(s), kDate,
                                   QStringLiteral("G%1").arg(bench::paddedCode(s, 9)),
                                   QString::number(100 + s), QString::number(k + 1),
                                   dish((s * 3 + k) % kDishKinds + 1)});
                });
    if (plain) return;
    // Rules at every level: dishes of the branch, whole services, whole points and dishes of a
    // point.
    folder.file("regras_embalagem.csv",
                {"CDFILIAL", "CDSERVFILI", "CDCLIENTE", "CDDESTFILI", "CDPRATO", "CDCONTAINER"},
                [](CsvWriter& w) {
                    for (int d = 1; d <= 5; ++d)
                        w.add({kBranch, "", "", "", dish(d), "70011"});
                    for (int s = 1; s <= kServices; ++s) {
                        if (s % 3 == 0) w.add({kBranch, service(s), "", "", "", "70010"});
                        if (s % 5 == 0) w.add({kBranch, service(s), client(s), "001", "", "70012"});
                        for (int d = 6; d <= 15; ++d)
                            w.add({kBranch, service(s), client(s), "002", dish(d), "70001"});
                    }
                });
}

QByteArray generation(const char* replace) {
    TDataPacket services;
    services.Fields = {{"IDMARCADO", TFieldType::String, 1},
                       {"CDFILIAL", TFieldType::String, 4},
                       {"CDSERVFILI", TFieldType::String, 5}};
    for (int s = 1; s <= kServices; ++s)
        services.Rows.push_back({QStringLiteral("S"), kBranch, service(s)});
    return QJsonDocument(QJsonObject{{"jsonrpc", "2.0"},
                                     {"id", 1},
                                     {"method", "GeraDistribuicaoFilial"},
                                     {"params", QJsonArray{kDate, PacketCodec::ToJson(services),
                                                           QString::fromLatin1(replace)}}})
        .toJson(QJsonDocument::Compact);
}

void run(test::Backend backend, const char* label, bool plain) {
    test::TestDatabase db(backend, false);
    if (!db.available()) {
        std::printf("# %s indisponível: %s\n", label, db.skipReason().toLocal8Bit().constData());
        return;
    }
    QSqlDatabase conn = db.connection();
    QTemporaryDir dir;
    writeFiles(QDir(dir.path()), plain);
    ImportReport read;
    const ImportReport imported = DataImporter(conn).run(DataImporter::read({dir.path()}, read));
    if (!imported.stored) {
        std::fprintf(stderr, "importação recusada: %s\n",
                     imported.errors.value(0).text().toLocal8Bit().constData());
        return;
    }
    const JsonRpcDispatcher dispatcher([conn] { return conn; });
    const RequestContext local{"127.0.0.1", {}};
    const char* mode = plain ? "default_containers" : "rules_and_mix";
    auto call = [&](const char* replace, int& generated) {
        QElapsedTimer t;
        t.start();
        const QByteArray answer = dispatcher.handle(generation(replace), local);
        const double seconds = t.nsecsElapsed() / 1e9;
        const QJsonObject result =
            QJsonDocument::fromJson(answer).object().value("result").toObject();
        if (!result.value("ok").toBool())
            std::fprintf(stderr, "geração recusada: %s\n", answer.left(300).constData());
        generated = result.value("data").toObject().value("geradas").toInt();
        return seconds;
    };
    int generated = 0;
    const double first = call("N", generated);
    std::printf("%s_%s_distributions: %d distributions\n", label, mode, generated);
    std::printf("%s_%s_first_call: %.3f s\n", label, mode, first);
    std::printf("%s_%s_first_per_distribution: %.3f ms\n", label, mode,
                first * 1e3 / std::max(generated, 1));
    std::vector<double> replaced;
    for (int k = 0; k < kReplaces; ++k)
        replaced.push_back(call("S", generated));
    std::sort(replaced.begin(), replaced.end());
    const double median = replaced[replaced.size() / 2];
    std::printf("%s_%s_replace_call_p50: %.3f s\n", label, mode, median);
    std::printf("%s_%s_replace_per_distribution_p50: %.3f ms\n", label, mode,
                median * 1e3 / std::max(generated, 1));
    std::fflush(stdout);
}

// The mix at its hardest: eight container types of nearly the same capacity, where the search
// for the least empty capacity meets its budget.
void mixWorstCase() {
    QVector<ContainerMix::Candidate> close;
    for (int k = 0; k < 8; ++k)
        close.push_back({QStringLiteral("7%1").arg(k, 4, 10, QLatin1Char('0')), 4 - 0.013 * k});
    constexpr int kCalls = 20;
    QElapsedTimer t;
    t.start();
    qint64 units = 0;
    for (int k = 0; k < kCalls; ++k)
        for (const auto& part : ContainerMix::choose(97.3 + k, 0.5, close, QStringLiteral("70000")))
            units += part.units;
    std::printf("mix_eight_close_types: %.1f us per dish (%lld units)\n",
                t.nsecsElapsed() / 1e3 / kCalls, static_cast<long long>(units));
}

} // namespace

int main(int argc, char** argv) {
    test::ensureApplication();
    const bool plain = argc > 1 && !std::strcmp(argv[1], "--plain");
    std::printf("# filial de %d serviços x %d pontos x %d pratos, %s\n", kServices, kPoints,
                kDishesPerMenu,
                plain ? "embalagens padrão, sem regras" : "regras e a mistura de cubas (modo V)");
    mixWorstCase();
    run(test::Backend::Sqlite, "sqlite", plain);
    run(test::Backend::Postgres, "postgresql", plain);
    return 0;
}
