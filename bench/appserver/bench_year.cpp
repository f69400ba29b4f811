// A chain's year against one day: the master data and menus of a chain imported from files
// (by default 5 branches x 40 services x 2 delivery points x 365 days x 15 dishes), every day's
// distributions made by the branch generation, then GetServicos, GetDistribuicao,
// SetDistribuicao, the print of the day, its print record and the read of the last labels prints,
// and a branch generation timed on the middle day, beside the same calls on a database holding that
// day alone. On SQLite and on PostgreSQL. Prints one "name: value unit" line per figure. Options:
// --branches N --services N --days N --dishes N (a smaller year).
#include "CsvFolder.h"
#include "TestDatabase.h"
#include "appserver/rpc/JsonRpcDispatcher.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/transfer/CsvWriter.h"
#include "appserver/transfer/DataImporter.h"
#include "framework/data/PacketCodec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

using namespace pla;

namespace {

struct Shape {
    int branches = 5, services = 40, days = 365, dishes = 15;
};
constexpr int kPoints = 2, kDishKinds = 60;
const QDate kFirstDay(2027, 1, 1);

QString branchCode(int b) {
    return QStringLiteral("08%1").arg(bench::paddedCode(b, 2));
}
QString clientCode(int b, int s) {
    return QStringLiteral("C%1%2").arg(bench::paddedCode(b, 2), bench::paddedCode(s, 3));
}

// Writes the chain's files for the days [first, first + days); returns the data rows written.
int writeFiles(const QDir& dir, const Shape& shape, int first, int days) {
    bench::CsvFolder folder(dir);
    folder.file("filiais.csv", {"CDFILIAL", "NMFILIAL", "CDFILCENTPME"}, [&](CsvWriter& w) {
        for (int b = 1; b <= shape.branches; ++b)
            w.add({branchCode(b), QStringLiteral("Cozinha %1").arg(b), branchCode(b)});
    });
    folder.file("grupos.csv", {"CDGRUPSERV", "NMGRUPSERV"}, [](CsvWriter& w) {
        w.add({"801", "Contratos"});
    });
    folder.file("servicos.csv", {"CDFILIAL", "CDSERVFILI", "NMSERVICO", "CDGRUPSERV"},
                [&](CsvWriter& w) {
                    for (int b = 1; b <= shape.branches; ++b)
                        for (int s = 1; s <= shape.services; ++s)
                            w.add({branchCode(b), bench::paddedCode(s, 5),
                                   QStringLiteral("Serviço %1").arg(s), "801"});
                });
    folder.file("clientes.csv", {"CDCLIENTE", "NMRAZSOCCLIE"}, [&](CsvWriter& w) {
        for (int b = 1; b <= shape.branches; ++b)
            for (int s = 1; s <= shape.services; ++s)
                w.add({clientCode(b, s), QStringLiteral("Cliente %1.%2").arg(b).arg(s)});
    });
    folder.file("destinos.csv", {"CDCLIENTE", "CDDESTFILI", "NMDESTFILI"}, [&](CsvWriter& w) {
        for (int b = 1; b <= shape.branches; ++b)
            for (int s = 1; s <= shape.services; ++s)
                for (int d = 1; d <= kPoints; ++d)
                    w.add({clientCode(b, s), bench::paddedCode(d, 3),
                           QStringLiteral("Destino %1").arg(d)});
    });
    folder.file("pontos.csv", {"CDFILIAL", "CDSERVFILI", "CDCLIENTE", "CDDESTFILI", "QTCOMENSAIS"},
                [&](CsvWriter& w) {
                    for (int b = 1; b <= shape.branches; ++b)
                        for (int s = 1; s <= shape.services; ++s)
                            for (int d = 1; d <= kPoints; ++d)
                                w.add({branchCode(b), bench::paddedCode(s, 5), clientCode(b, s),
                                       bench::paddedCode(d, 3), QString::number(40 * d + s)});
                });
    folder.file("embalagens.csv", {"CDCONTAINER", "NMCONTAINER", "IDPROPOSITO"}, [](CsvWriter& w) {
        w.add({"80001", "Marmita", "I"});
        w.add({"80002", "Cuba", "C"});
    });
    auto dish = [](int d) { return QStringLiteral("P8%1").arg(bench::paddedCode(d, 4)); };
    folder.file("pratos.csv",
                {"CDFILAUXPRAT", "CDPRATO", "NMPRATO", "SGUNIDADE", "QTPORPESSOA", "QTEXTRA",
                 "CDCONTPADRAO"},
                [&](CsvWriter& w) {
                    for (int b = 1; b <= shape.branches; ++b)
                        for (int d = 1; d <= kDishKinds; ++d)
                            w.add({branchCode(b), dish(d), QStringLiteral("Prato %1").arg(d), "KG",
                                   "0,12", "0,5", "80002"});
                });
    folder.file("capacidades.csv", {"CDFILAUXPRAT", "CDPRATO", "CDCONTAINER", "VRQTDEPRATEMB"},
                [&](CsvWriter& w) {
                    for (int b = 1; b <= shape.branches; ++b)
                        for (int d = 1; d <= kDishKinds; ++d) {
                            w.add({branchCode(b), dish(d), "80001", "0,5"});
                            w.add({branchCode(b), dish(d), "80002", "6"});
                        }
                });
    folder.file("cardapios.csv",
                {"CDFILIAL", "CDSERVFILI", "DTCARDAPIO", "NRCARDAPIO", "QTCOMENSAIS",
                 "NRORDPRATCAR", "CDFILAUXPRAT", "CDPRATO"},
                [&](CsvWriter& w) {
                    for (int day = first; day < first + days; ++day)
                        for (int b = 1; b <= shape.branches; ++b)
                            for (int s = 1; s <= shape.services; ++s) {
                                // Numbered by day, branch and service: the same menu in either
                                // database.
                                const int n = (day * shape.branches + b - 1) * shape.services + s;
                                const QString date =
                                    kFirstDay.addDays(day).toString(QStringLiteral("dd/MM/yyyy"));
                                for (int k = 0; k < shape.dishes; ++k)
                                    w.add({branchCode(b), bench::paddedCode(s, 5), date,
                                           QStringLiteral("Y%1").arg(bench::paddedCode(n, 9)),
                                           QString::number(100 + s), QString::number(k + 1),
                                           branchCode(b),
                                           dish((day * 7 + s * 3 + k) % kDishKinds + 1)});
                            }
                });
    return folder.rows();
}

QByteArray request(const char* method, const QJsonArray& params) {
    return QJsonDocument(
               QJsonObject{{"jsonrpc", "2.0"}, {"id", 1}, {"method", method}, {"params", params}})
        .toJson(QJsonDocument::Compact);
}

QJsonObject result(const QByteArray& answer) {
    return QJsonDocument::fromJson(answer).object().value("result").toObject();
}

QJsonValue ticked(const Shape& shape, int branch) {
    TDataPacket services;
    services.Fields = {{"IDMARCADO", TFieldType::String, 1},
                       {"CDFILIAL", TFieldType::String, 4},
                       {"CDSERVFILI", TFieldType::String, 5}};
    for (int s = 1; s <= shape.services; ++s)
        services.Rows.push_back({QStringLiteral("S"), branchCode(branch), bench::paddedCode(s, 5)});
    return PacketCodec::ToJson(services);
}

double p50(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    return us[us.size() / 2];
}

struct Loaded {
    std::map<std::string, double> p50; // by call, µs
};

// Builds a database of `days` days from `first`, and times the calls on day `middle`.
Loaded run(test::Backend backend, const char* label, const char* size, const Shape& shape,
           int first, int days, int middle) {
    Loaded out;
    test::TestDatabase db(backend, false);
    if (!db.available()) {
        std::printf("# %s indisponível: %s\n", label, db.skipReason().toLocal8Bit().constData());
        return out;
    }
    QSqlDatabase conn = db.connection();
    const JsonRpcDispatcher dispatcher([conn] { return conn; });
    const RequestContext local{"127.0.0.1", {}};
    QTemporaryDir dir;
    const int rows = writeFiles(QDir(dir.path()), shape, first, days);
    QElapsedTimer t;
    t.start();
    ImportReport read;
    const ImportReport imported = DataImporter(conn).run(DataImporter::read({dir.path()}, read));
    if (!imported.stored) {
        std::fprintf(stderr, "importação recusada: %s\n",
                     imported.errors.value(0).text().toLocal8Bit().constData());
        return out;
    }
    const double importSeconds = t.nsecsElapsed() / 1e9;
    t.restart();
    int generated = 0;
    for (int day = first; day < first + days; ++day)
        for (int b = 1; b <= shape.branches; ++b) {
            const QByteArray answer = dispatcher.handle(
                request("GeraDistribuicaoFilial",
                        {kFirstDay.addDays(day).toString(Qt::ISODate), ticked(shape, b), "N"}),
                local);
            generated += result(answer).value("data").toObject().value("geradas").toInt();
        }
    const double generationSeconds = t.nsecsElapsed() / 1e9;
    const bool postgres = SqlUtil::isPostgres(conn);
    QSqlQuery bytes =
        SqlUtil::exec(conn, postgres ? QStringLiteral("SELECT pg_database_size(current_database())")
                                     : QStringLiteral("SELECT page_count * page_size FROM "
                                                      "pragma_page_count(), pragma_page_size()"));
    bytes.next();
    const double megabytes = bytes.value(0).toDouble() / 1e6;
    bytes.finish();
    QSqlQuery dishRows = SqlUtil::exec(conn, QStringLiteral("SELECT COUNT(*) FROM CARDDISP"));
    dishRows.next();
    std::printf("%s_%s_import_rows: %d rows\n", label, size, rows);
    std::printf("%s_%s_import_seconds: %.2f s\n", label, size, importSeconds);
    std::printf("%s_%s_distributions: %d distributions\n", label, size, generated);
    std::printf("%s_%s_distribution_dish_rows: %lld rows\n", label, size,
                dishRows.value(0).toLongLong());
    std::printf("%s_%s_generation_seconds: %.2f s\n", label, size, generationSeconds);
    std::printf("%s_%s_database_size: %.1f MB\n", label, size, megabytes);
    std::fflush(stdout);
    dishRows.finish();
    // Measured on a settled database: on PostgreSQL, without the vacuum the load left to the
    // autovacuum running beside the calls.
    if (postgres) SqlUtil::execPlain(conn, QStringLiteral("VACUUM ANALYZE"));

    const QString date = kFirstDay.addDays(middle).toString(Qt::ISODate);
    const QString branch = branchCode(1);
    auto time = [&](const char* name, int calls, auto&& body) {
        std::vector<double> us;
        for (int k = 0; k < calls; ++k) {
            const QByteArray b = body(k);
            const auto t0 = std::chrono::steady_clock::now();
            const QByteArray answer = dispatcher.handle(b, local);
            us.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                    .count());
            if (!result(answer).value("ok").toBool())
                std::fprintf(stderr, "%s recusado: %s\n", name, answer.left(300).constData());
        }
        out.p50[name] = p50(us);
        std::printf("%s_%s_%s_p50: %.1f us\n", label, size, name, out.p50[name]);
        std::fflush(stdout);
    };
    auto get = [&](int k) {
        const int s = k % shape.services + 1;
        return request("GetDistribuicao",
                       {branch, bench::paddedCode(s, 5), date, clientCode(1, s),
                        bench::paddedCode(k / shape.services % kPoints + 1, 3), "N"});
    };
    time("GetServicos", 200, [&](int) { return request("GetServicos", {branch, date}); });
    time("GetDistribuicao", 200, get);
    time("GetImpressaoDistribuicao", 50, [&](int) {
        return request("GetImpressaoDistribuicao", {branch, date});
    });
    // The day's labels recorded as printed three times (printed, changed, printed again), every
    // distribution at the version the print read gave, then the read both screens make of the
    // last labels prints.
    const TDataPacket packagings = PacketCodec::FromJson(
        result(dispatcher.handle(request("GetImpressaoDistribuicao", {branch, date}), local))
            .value("data")
            .toArray()[1]);
    TDataPacket printed;
    printed.Fields = {{"NRDISTCARD", TFieldType::Float, 0}, {"NRVERSAO", TFieldType::Float, 0}};
    const int number = packagings.IndexOf("NRDISTCARD"), version = packagings.IndexOf("NRVERSAO");
    for (const auto& row : packagings.Rows)
        if (printed.Rows.isEmpty() || printed.Rows.back()[0] != row[number])
            printed.Rows.push_back({row[number], row[version]});
    const QJsonValue printedJson = PacketCodec::ToJson(printed);
    time("SetImpressaoDistribuicao", 3, [&](int) {
        return request("SetImpressaoDistribuicao",
                       {branch, date, "E", date + QStringLiteral(" 06:30"), printedJson});
    });
    time("GetEtiquetasImpressas", 200, [&](int) {
        return request("GetEtiquetasImpressas", {branch, date});
    });
    // The same content again, distribution by distribution: the version and the audit trail
    // change, as in every save.
    std::vector<QByteArray> saves;
    for (int k = 0; k < 20; ++k) {
        const QJsonArray data = result(dispatcher.handle(get(k), local)).value("data").toArray();
        const double number = PacketCodec::FromJson(data[1]).Rows.value(0).value(0).toDouble();
        saves.push_back(request("SetDistribuicao", {number, data[2], data[3], data[4]}));
    }
    time("SetDistribuicao", 200, [&](int k) { return saves[k % saves.size()]; });
    time("GeraDistribuicaoFilial", 10, [&](int) {
        return request("GeraDistribuicaoFilial", {date, ticked(shape, 1), "S"});
    });
    return out;
}

} // namespace

int main(int argc, char** argv) {
    test::ensureApplication();
    Shape shape;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int v = std::atoi(argv[i + 1]);
        if (v <= 0) continue;
        if (!std::strcmp(argv[i], "--branches")) shape.branches = v;
        if (!std::strcmp(argv[i], "--services")) shape.services = std::min(v, 999);
        if (!std::strcmp(argv[i], "--days")) shape.days = v;
        if (!std::strcmp(argv[i], "--dishes")) shape.dishes = std::min(v, kDishKinds);
    }
    std::printf("# %d filiais x %d serviços x %d pontos x %d dias x %d pratos\n", shape.branches,
                shape.services, kPoints, shape.days, shape.dishes);
    const int middle = shape.days / 2;
    for (const auto& [backend, label] : {std::pair{test::Backend::Sqlite, "sqlite"},
                                         std::pair{test::Backend::Postgres, "postgresql"}}) {
        const Loaded day = run(backend, label, "day", shape, middle, 1, middle);
        const Loaded year = run(backend, label, "year", shape, 0, shape.days, middle);
        for (const auto& [name, us] : year.p50)
            if (day.p50.count(name))
                std::printf("%s_%s_year_over_day: %.2f x\n", label, name.c_str(),
                            us / day.p50.at(name));
    }
    return 0;
}
