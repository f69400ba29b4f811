// Client data set figures: loading a packet against the bare JSON parse of the same bytes (and
// from an already parsed JSON value), switching a filter and walking the visible rows against
// the same query on SQLite, and locating a record. Prints one "name: value unit" line per figure.
#include "framework/data/ClientDataSet.h"
#include "framework/data/PacketCodec.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRows = 10000;
const char* const kFilter = "(QTCOMENSAIS > 0) OR (QTPRATO > 0) OR (QTEXTRA > 0)";

struct Column {
    const char* name;
    TFieldType type;
    int size;
};
const Column kColumns[] = {
    {"NRDISTCARD", TFieldType::Float, 0},     {"NRSEQPRATCAR", TFieldType::Float, 0},
    {"CDFILAUXPRAT", TFieldType::String, 4},  {"CDPRATO", TFieldType::String, 10},
    {"QTTOTCOMENSAIS", TFieldType::Float, 0}, {"QTTOTPRATO", TFieldType::Float, 0},
    {"QTTOTEXTRA", TFieldType::Float, 0},     {"QTCOMENSAIS", TFieldType::Float, 0},
    {"QTPRATO", TFieldType::Float, 0},        {"QTEXTRA", TFieldType::Float, 0},
    {"NRORDPRATCAR", TFieldType::Float, 0},   {"QTPORPESSOA", TFieldType::Float, 0},
    {"NMPRATO", TFieldType::String, 40},      {"SGUNIDADE", TFieldType::String, 10},
};

TDataPacket makePacket() {
    TDataPacket p;
    for (const Column& c : kColumns)
        p.Fields.append({c.name, c.type, c.size, true});
    for (int i = 0; i < kRows; ++i) {
        // Every third dish is fully distributed and leaves the filtered list.
        const bool left = i % 3 != 0;
        const double com = left ? 10 + i % 50 : 0;
        p.Rows.append(
            {QVariant(123456.0), QVariant(double(i + 1)), QStringLiteral("0001"),
             QStringLiteral("PR%1").arg(i, 6, 10, QLatin1Char('0')), QVariant(60.0), QVariant(7.5),
             QVariant(1.25), QVariant(com), QVariant(left ? com * 0.125 : 0.0),
             QVariant(left ? 0.5 : 0.0), QVariant(double(i + 1)), QVariant(0.125),
             QStringLiteral("Prato número %1 à moda da casa").arg(i), QStringLiteral("KG")});
    }
    return p;
}

void define(TClientDataSet& ds) {
    for (const Column& c : kColumns) {
        TFieldDef d;
        d.Name = c.name;
        d.Type = c.type;
        d.Size = c.size;
        ds.AddField(d);
    }
    ds.SetIndexFieldNames("NRORDPRATCAR");
}

// Median wall time of fn in milliseconds.
double medianMs(int runs, const std::function<void()>& fn) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto a = std::chrono::steady_clock::now();
        fn();
        const auto b = std::chrono::steady_clock::now();
        t.push_back(std::chrono::duration<double, std::milli>(b - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

void print(const char* name, double value, const char* unit) {
    std::printf("%s: %.4g %s\n", name, value, unit);
}

} // namespace

int main() {
    const TDataPacket packet = makePacket();
    const QByteArray bytes = PacketCodec::Encode(packet);
    const int runs = 15;

    // Loading: bytes to a data set that defines the fields and an index.
    const double parseMs = medianMs(runs, [&] {
        const QJsonDocument d = QJsonDocument::fromJson(bytes);
        if (d.isNull()) std::abort();
    });
    TClientDataSet ds("cdsCardapioDisponivel");
    define(ds);
    const double loadMs = medianMs(runs, [&] { ds.SetData(PacketCodec::Decode(bytes)); });
    print("packet_bytes", bytes.size() / 1024.0, "KiB");
    print("json_parse_10k_rows", parseMs, "ms");
    print("packet_load_10k_rows", loadMs, "ms");
    print("packet_load_throughput", bytes.size() / (1024.0 * 1024.0) / (loadMs / 1000.0), "MB/s");
    print("packet_load_vs_json_parse", loadMs / parseMs, "ratio");
    // The same packet already parsed into a JSON value (a packet inside a larger reply).
    const QJsonValue value = QJsonDocument::fromJson(bytes).object();
    const double valueMs = medianMs(runs, [&] { ds.SetData(PacketCodec::FromJson(value)); });
    print("packet_load_from_json_value_10k_rows", valueMs, "ms");

    // Filter switch and a walk of the visible rows, reading three fields per row.
    ds.SetFilter(kFilter);
    TField& seq = ds.FieldByName("NRSEQPRATCAR");
    TField& name = ds.FieldByName("NMPRATO");
    TField& qt = ds.FieldByName("QTPRATO");
    int visible = 0;
    const double filterMs = medianMs(runs, [&] {
        ds.SetFiltered(false);
        ds.SetFiltered(true);
        visible = 0;
        double sum = 0;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            sum += seq.AsFloat() + qt.AsFloat();
            visible += name.AsString().isEmpty() ? 0 : 1;
        }
        if (sum < 0) std::abort();
    });

    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench");
    db.setDatabaseName(":memory:");
    if (!db.open()) return 1;
    {
        QSqlQuery q(db);
        QString ddl = "CREATE TABLE DISH (";
        QString ins = "INSERT INTO DISH VALUES (";
        for (int c = 0; c < 14; ++c) {
            ddl += QString(kColumns[c].name) +
                   (kColumns[c].type == TFieldType::String ? " TEXT" : " REAL") +
                   (c < 13 ? "," : ")");
            ins += c < 13 ? "?," : "?)";
        }
        q.exec(ddl);
        db.transaction();
        q.prepare(ins);
        for (const auto& row : packet.Rows) {
            for (int c = 0; c < 14; ++c)
                q.bindValue(c, row[c]);
            q.exec();
        }
        db.commit();
    }
    int sqlVisible = 0;
    const double sqlMs = medianMs(runs, [&] {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QString(
                   "SELECT NRSEQPRATCAR, NMPRATO, QTPRATO FROM DISH WHERE %1 ORDER BY NRORDPRATCAR")
                   .arg(kFilter));
        sqlVisible = 0;
        double sum = 0;
        while (q.next()) {
            sum += q.value(0).toDouble() + q.value(2).toDouble();
            sqlVisible += q.value(1).toString().isEmpty() ? 0 : 1;
        }
        if (sum < 0) std::abort();
    });
    if (visible != sqlVisible) {
        std::fprintf(stderr, "visible rows differ: %d vs %d\n", visible, sqlVisible);
        return 1;
    }
    print("filter_switch_and_walk_10k_rows", filterMs, "ms");
    print("sqlite_filter_and_walk_10k_rows", sqlMs, "ms");
    print("filter_walk_vs_sqlite", filterMs / sqlMs, "ratio");

    // Locate near the end of the visible rows.
    ds.SetFiltered(false);
    const double locateMs = medianMs(101, [&] {
        if (!ds.Locate("NRSEQPRATCAR", double(kRows - 1))) std::abort();
    });
    print("locate_10k_rows", locateMs * 1000.0, "us");
    return 0;
}
