// The server over real loopback HTTP: JSON-RPC conformance, limits and whole method cycles.
#include "DistributionView.h"
#include "TestDatabase.h"
#include "appserver/AppServer.h"
#include "appserver/EmbeddedServer.h"
#include "appserver/rpc/InputLimits.h"
#include "framework/data/PacketCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <gtest/gtest.h>
#include <httplib.h>
#include <thread>

using namespace pla;

namespace {

const char* kPath = "/PLA15400.rdmDistEmbCard";

class RpcHttpTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        options_.port = 0;
        options_.database = dir_.filePath(QStringLiteral("rpc.sqlite"));
        options_.demo = true;
        options_.today = test::demoToday();
        options_.limits.maxBodyBytes = 256 * 1024;
        start();
    }
    void start() {
        port_ = server_.start(options_);
        client_ = std::make_unique<httplib::Client>("127.0.0.1", port_);
        client_->set_tcp_nodelay(true);
        client_->set_keep_alive(true);
    }
    void TearDown() override {
        client_.reset();
        server_.stop();
    }

    QJsonObject post(const QByteArray& body) {
        const auto res = client_->Post(kPath, body.toStdString(), "application/json");
        EXPECT_TRUE(res);
        if (!res) return {};
        EXPECT_EQ(res->status, 200) << body.toStdString();
        const QByteArray answer = QByteArray::fromStdString(res->body);
        // Answers spliced from directly written packets read as a JSON document writes them.
        if (!answer.isEmpty())
            EXPECT_EQ(QJsonDocument::fromJson(answer).toJson(QJsonDocument::Compact), answer);
        return QJsonDocument::fromJson(answer).object();
    }
    QJsonObject call(const char* method, const QJsonArray& params) {
        const QJsonObject request{
            {"jsonrpc", "2.0"}, {"id", ++id_}, {"method", method}, {"params", params}};
        const QJsonObject response = post(QJsonDocument(request).toJson(QJsonDocument::Compact));
        EXPECT_EQ(response.value("id").toInt(), id_);
        return response.value("result").toObject();
    }
    // The data of a successful call.
    QJsonValue data(const char* method, const QJsonArray& params) {
        const QJsonObject r = call(method, params);
        EXPECT_TRUE(r.value("ok").toBool())
            << method << ": " << r.value("message").toString().toStdString();
        return r.value("data");
    }

    QTemporaryDir dir_;
    ServerOptions options_;
    EmbeddedServer server_;
    int port_ = 0;
    int id_ = 0;
    std::unique_ptr<httplib::Client> client_;
};

TEST_F(RpcHttpTest, ProtocolFaultsGetTheStandardErrorCodes) {
    QByteArray deep = QByteArray(100, '[') + QByteArray(100, ']');
    const struct {
        QByteArray body;
        int code;
        const char* mentions;
    } cases[] = {
        {"{", -32700, ""},
        {deep, -32700, "64"},
        {"[]", -32600, ""},
        // Valid JSON that is not a request object is an invalid request, not a parse error.
        {"42", -32600, "objeto"},
        {" \"GetGruposServico\" ", -32600, "objeto"},
        {"null", -32600, "objeto"},
        {"1, 2", -32700, ""},
        {"42]", -32700, ""},
        {R"({"id":1,"method":"GetGruposServico","params":[]})", -32600, "jsonrpc"},
        {R"({"jsonrpc":"2.0","id":1,"params":[]})", -32600, ""},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetGruposServico","params":"x"})", -32600, "params"},
        {R"({"jsonrpc":"2.0","id":1,"method":"ApagaTudo","params":[]})", -32601, "ApagaTudo"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetServicos","params":["0001"]})", -32602, "2"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetServicos","params":["0001","08/12/2026"]})",
         -32602, "data do cardápio"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetServicos","params":[1,"2026-12-08"]})", -32602,
         "filial"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetServicos","params":{"filial":"0001"}})", -32602,
         "posicionais"},
        {R"({"jsonrpc":"2.0","id":1,"method":"GetDistribuicao","params":["0001","00001","2026-12-08","","","X"]})",
         -32602, "redistribuição"},
        {R"({"jsonrpc":"2.0","id":1,"method":"SetDistribuicao","params":[1,{"fields":[]},{"fields":[],"rows":[]},{"fields":[],"rows":[]}]})",
         -32602, "pratos não distribuídos"},
        {R"({"jsonrpc":"2.0","id":1,"method":"SetDistribuicao","params":[1,{"fields":["QTPRATO","QTPRATO"],"rows":[[1,2]]},{"fields":[],"rows":[]},{"fields":[],"rows":[]}]})",
         -32602, "'QTPRATO' repetido"},
        {R"({"jsonrpc":"2.0","id":1,"method":"ApagaDistribuicao","params":["1"]})", -32602,
         "número"},
        // An id that would not be echoed as sent is refused.
        {R"({"jsonrpc":"2.0","id":18446744073709551617,"method":"GetGruposServico"})", -32600,
         "15 algarismos"},
        {R"({"jsonrpc":"2.0","id":1.5,"method":"GetGruposServico"})", -32600, "inteiro"},
    };
    for (const auto& c : cases) {
        const QJsonObject r = post(c.body);
        const QJsonObject error = r.value("error").toObject();
        EXPECT_EQ(error.value("code").toInt(), c.code) << c.body.toStdString();
        EXPECT_TRUE(error.value("message").toString().contains(QString::fromUtf8(c.mentions)))
            << c.body.toStdString() << " -> " << error.value("message").toString().toStdString();
        EXPECT_EQ(r.value("jsonrpc").toString(), QStringLiteral("2.0"));
        EXPECT_FALSE(r.contains("result"));
    }
    // The id is echoed whatever its kind.
    const QJsonObject r = post(R"({"jsonrpc":"2.0","id":"abc","method":"GetGruposServico"})");
    EXPECT_EQ(r.value("id").toString(), QStringLiteral("abc"));
    EXPECT_TRUE(r.value("result").toObject().value("ok").toBool());
}

TEST_F(RpcHttpTest, NotificationsBatchesHealthAndLimits) {
    auto res = client_->Post(kPath, R"({"jsonrpc":"2.0","method":"GetGruposServico","params":[]})",
                             "application/json");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 204);
    EXPECT_TRUE(res->body.empty());

    res = client_->Post(kPath,
                        R"([{"jsonrpc":"2.0","method":"GetGruposServico"},)"
                        R"({"jsonrpc":"2.0","id":5,"method":"GetVdEmbalagens","params":["T"]},)"
                        R"({"jsonrpc":"2.0","id":6,"method":"Nada"}])",
                        "application/json");
    ASSERT_TRUE(res);
    const QJsonArray batch = QJsonDocument::fromJson(QByteArray::fromStdString(res->body)).array();
    ASSERT_EQ(batch.size(), 2);
    EXPECT_EQ(batch[0].toObject().value("id").toInt(), 5);
    EXPECT_EQ(batch[1].toObject().value("error").toObject().value("code").toInt(), -32601);

    // A batch is bounded: one error for a batch over the bound, every answer up to it.
    const auto batchOf = [](int calls) {
        QByteArrayList list;
        for (int i = 0; i < calls; ++i)
            list << QByteArray(R"({"jsonrpc":"2.0","id":)") + QByteArray::number(i) +
                        R"(,"method":"GetGruposServico"})";
        return '[' + list.join(',') + ']';
    };
    const QJsonObject over = post(batchOf(InputLimits::maxBatchCalls + 1));
    EXPECT_EQ(over.value("error").toObject().value("code").toInt(), -32600);
    EXPECT_TRUE(over.value("error").toObject().value("message").toString().contains("100"));
    res =
        client_->Post(kPath, batchOf(InputLimits::maxBatchCalls).toStdString(), "application/json");
    ASSERT_TRUE(res);
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(res->body)).array().size(),
              InputLimits::maxBatchCalls);

    res = client_->Get("/health");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    res = client_->Post("/outra", "{}", "application/json");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
    res = client_->Post(kPath, std::string(300 * 1024, ' '), "application/json");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 413);
}

TEST_F(RpcHttpTest, LookupsAnswerPacketsAndEmptyPacketsForUnknownCodes) {
    EXPECT_EQ(data("GetGruposServico", {}).toObject().value("rows").toArray().size(), 5);
    EXPECT_EQ(data("GetVdEmbalagens", {"T"}).toObject().value("rows").toArray().size(), 9);
    const QJsonArray one = data("GetVdEmbalagens", {"00010"}).toObject().value("rows").toArray();
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0].toArray()[2].toString(), QStringLiteral("C"));
    EXPECT_TRUE(data("GetVdEmbalagens", {"ZZZZZ"}).toObject().value("rows").toArray().isEmpty());
    const QJsonArray cap =
        data("GetCapacidadeEmb", {"0001", "PR00001", "00010"}).toObject().value("rows").toArray();
    ASSERT_EQ(cap.size(), 1);
    EXPECT_DOUBLE_EQ(cap[0].toArray()[0].toDouble(), 6);
    // Juice has no transport relation with a lunch box.
    EXPECT_TRUE(data("GetCapacidadeEmb", {"0001", "PR00022", "00001"})
                    .toObject()
                    .value("rows")
                    .toArray()
                    .isEmpty());
    // A long corporate name arrives whole; the client shortens it.
    const QJsonArray points =
        data("GetPontosEntrega", {"0001", "00005"}).toObject().value("rows").toArray();
    ASSERT_EQ(points.size(), 2);
    EXPECT_GE(points[0].toArray()[0].toString().size(), 30);
    EXPECT_TRUE(
        data("GetPontosEntrega", {"0001", "00006"}).toObject().value("rows").toArray().isEmpty());
    EXPECT_TRUE(
        data("GetServicos", {"0003", "2026-12-08"}).toObject().value("rows").toArray().isEmpty());
}

TEST_F(RpcHttpTest, LoadSaveReloadAndDeleteOverHttp) {
    const QJsonArray params{"0001", "00003", "2026-12-08", "10002", "001", "N"};
    QJsonArray loaded = data("GetDistribuicao", params).toArray();
    ASSERT_EQ(loaded.size(), 5);
    EXPECT_EQ(loaded[0].toString(), QString());
    TDataPacket header = PacketCodec::FromJson(loaded[1]);
    TDataPacket undistributed = PacketCodec::FromJson(loaded[2]);
    TDataPacket packagings = PacketCodec::FromJson(loaded[3]);
    TDataPacket rows = PacketCodec::FromJson(loaded[4]);
    ASSERT_EQ(header.Rows.size(), 1);
    const double number = header.Rows[0][0].toDouble();

    // Move all of the first dish into a new individual packaging, as the screen would.
    auto col = [](const TDataPacket& p, const char* name) {
        return p.IndexOf(QString::fromLatin1(name));
    };
    auto& dish = undistributed.Rows[0];
    packagings.Rows.push_back({-1.0, "00001", 340.0, QVariant(), "I", "Frágil", 0.0});
    rows.Rows.push_back({dish[col(undistributed, "NRSEQPRATCAR")], -1.0,
                         dish[col(undistributed, "QTCOMENSAIS")],
                         dish[col(undistributed, "QTPRATO")], dish[col(undistributed, "QTEXTRA")],
                         dish[col(undistributed, "CDPRATO")], dish[col(undistributed, "NMPRATO")],
                         dish[col(undistributed, "SGUNIDADE")], "S", 0.5});
    for (const char* f : {"QTCOMENSAIS", "QTPRATO", "QTEXTRA"})
        dish[col(undistributed, f)] = 0.0;
    const QJsonObject saved =
        call("SetDistribuicao", {number, PacketCodec::ToJson(undistributed),
                                 PacketCodec::ToJson(packagings), PacketCodec::ToJson(rows)});
    ASSERT_TRUE(saved.value("ok").toBool()) << saved.value("message").toString().toStdString();

    loaded = data("GetDistribuicao", params).toArray();
    const TDataPacket storedPackagings = PacketCodec::FromJson(loaded[3]);
    const TDataPacket storedRows = PacketCodec::FromJson(loaded[4]);
    ASSERT_EQ(storedPackagings.Rows.size(), 1);
    const double newNumber = storedPackagings.Rows[0][0].toDouble();
    EXPECT_GT(newNumber, 0);
    EXPECT_EQ(storedPackagings.Rows[0][col(storedPackagings, "DSOBSETIQUETA")].toString(),
              QStringLiteral("Frágil"));
    ASSERT_EQ(storedRows.Rows.size(), 1);
    EXPECT_EQ(storedRows.Rows[0][col(storedRows, "NREMBDISTCARD")].toDouble(), newNumber);

    // The same packets with an amount out of balance are refused with the dish's name.
    rows.Rows[0][col(rows, "QTPRATO")] = rows.Rows[0][col(rows, "QTPRATO")].toDouble() + 1;
    const QJsonObject refused =
        call("SetDistribuicao", {number, PacketCodec::ToJson(undistributed),
                                 PacketCodec::ToJson(packagings), PacketCodec::ToJson(rows)});
    EXPECT_FALSE(refused.value("ok").toBool());
    EXPECT_TRUE(refused.value("message").toString().contains(
        dish[col(undistributed, "NMPRATO")].toString()));

    // A save that fails on its last table answers an error and changes nothing.
    server_.server()->setWriteHook([](const QString& t) {
        if (t == QLatin1String("ITEMBDISTCARD")) throw std::runtime_error("falha simulada");
    });
    rows.Rows[0][col(rows, "QTPRATO")] = rows.Rows[0][col(rows, "QTPRATO")].toDouble() - 1;
    const QJsonObject failed = post(
        QJsonDocument(QJsonObject{{"jsonrpc", "2.0"},
                                  {"id", 99},
                                  {"method", "SetDistribuicao"},
                                  {"params", QJsonArray{number, PacketCodec::ToJson(undistributed),
                                                        PacketCodec::ToJson(packagings),
                                                        PacketCodec::ToJson(rows)}}})
            .toJson());
    EXPECT_EQ(failed.value("error").toObject().value("code").toInt(), -32603);
    server_.server()->setWriteHook({});
    EXPECT_EQ(data("GetDistribuicao", params).toArray(), loaded);

    EXPECT_TRUE(call("ApagaDistribuicao", {number}).value("ok").toBool());
    EXPECT_FALSE(call("ApagaDistribuicao", {number}).value("ok").toBool());
    EXPECT_FALSE(call("ApagaDistribuicao", {QJsonValue::Null}).value("ok").toBool());
}

TEST_F(RpcHttpTest, ConcurrentClientsSavingDifferentPointsAllSucceed) {
    const char* points[][3] = {{"00001", "10001", "001"}, {"00001", "10001", "002"},
                               {"00001", "10001", "003"}, {"00003", "10002", "001"},
                               {"00003", "10002", "002"}, {"00005", "10004", "001"}};
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (const auto& p : points)
        threads.emplace_back([&, p] {
            httplib::Client c("127.0.0.1", port_);
            c.set_tcp_nodelay(true);
            for (int i = 0; i < 10; ++i) {
                const QJsonObject req{{"jsonrpc", "2.0"},
                                      {"id", i},
                                      {"method", "GetDistribuicao"},
                                      {"params", QJsonArray{"0001", p[0], "2026-12-08", p[1], p[2],
                                                            i % 2 ? "S" : "N"}}};
                auto res =
                    c.Post(kPath, QJsonDocument(req).toJson().toStdString(), "application/json");
                if (!res) {
                    ++failures;
                    continue;
                }
                const QJsonArray d = QJsonDocument::fromJson(QByteArray::fromStdString(res->body))
                                         .object()
                                         .value("result")
                                         .toObject()
                                         .value("data")
                                         .toArray();
                if (d.size() != 5) {
                    ++failures;
                    continue;
                }
                const QJsonObject save{
                    {"jsonrpc", "2.0"},
                    {"id", i},
                    {"method", "SetDistribuicao"},
                    {"params", QJsonArray{PacketCodec::FromJson(d[1]).Rows[0][0].toDouble(), d[2],
                                          d[3], d[4]}}};
                res = c.Post(kPath, QJsonDocument(save).toJson().toStdString(), "application/json");
                if (!res || !QJsonDocument::fromJson(QByteArray::fromStdString(res->body))
                                 .object()
                                 .value("result")
                                 .toObject()
                                 .value("ok")
                                 .toBool())
                    ++failures;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures, 0);
}

// Every damaging input of a save (and of a branch generation) is refused with a message naming
// what was wrong; nothing is stored and the server keeps answering.
TEST_F(RpcHttpTest, DamagingSavesAreRefusedNamingTheFaultAndStoreNothing) {
    const QJsonArray point{"0001", "00004", "2026-12-08", "10003", "001", "S"};
    const QJsonArray loaded = data("GetDistribuicao", point).toArray();
    ASSERT_EQ(loaded.size(), 5);
    struct Packets {
        double number = 0;
        TDataPacket u, e, i;
        QByteArray from, to; // a raw replacement in the request body
        QByteArray body(int id) const {
            QByteArray b =
                QJsonDocument(QJsonObject{{"jsonrpc", "2.0"},
                                          {"id", id},
                                          {"method", "SetDistribuicao"},
                                          {"params", QJsonArray{number, PacketCodec::ToJson(u),
                                                                PacketCodec::ToJson(e),
                                                                PacketCodec::ToJson(i)}}})
                    .toJson(QJsonDocument::Compact);
            return from.isEmpty() ? b : b.replace(from, to);
        }
    };
    Packets base{PacketCodec::FromJson(loaded[1]).Rows[0][0].toDouble(),
                 PacketCodec::FromJson(loaded[2]), PacketCodec::FromJson(loaded[3]),
                 PacketCodec::FromJson(loaded[4])};
    auto at = [](TDataPacket& p, int row, const char* f) -> QVariant& {
        return p.Rows[row][p.IndexOf(QString::fromLatin1(f))];
    };
    // A collective packaging, its dish row and that dish's undistributed row.
    int col = 0;
    while (at(base.e, col, "IDPROPOSITO").toString() != QLatin1String("C"))
        ASSERT_LT(++col, base.e.Rows.size());
    int row = 0;
    while (at(base.i, row, "NREMBDISTCARD") != at(base.e, col, "NREMBDISTCARD"))
        ASSERT_LT(++row, base.i.Rows.size());
    int dish = 0;
    while (at(base.u, dish, "NRSEQPRATCAR") != at(base.i, row, "NRSEQPRATCAR"))
        ASSERT_LT(++dish, base.u.Rows.size());
    const QString dishName = at(base.u, dish, "NMPRATO").toString();

    // The distribution as loaded is saved unchanged.
    auto save = [&](const Packets& p) { return post(p.body(++id_)).value("result").toObject(); };
    ASSERT_TRUE(save(base).value("ok").toBool())
        << save(base).value("message").toString().toStdString();
    const QJsonValue stored =
        data("GetDistribuicao", {"0001", "00004", "2026-12-08", "10003", "001", "N"});

    const double big = 1e308;
    const struct {
        const char* rule;
        std::function<void(Packets&)> change;
        QStringList mentions;
    } cases[] = {
        {"dish totals raised with the quantity",
         [&](Packets& p) {
             at(p.u, dish, "QTTOTPRATO") = at(p.u, dish, "QTTOTPRATO").toDouble() + 100;
             at(p.u, dish, "QTPRATO") = at(p.u, dish, "QTPRATO").toDouble() + 100;
         },
         {"totais", dishName}},
        {"quantity per person of a dish in a packaging",
         [&](Packets& p) {
             const double per = at(p.u, dish, "QTPORPESSOA").toDouble() * 2;
             at(p.u, dish, "QTPORPESSOA") = per;
             at(p.u, dish, "QTTOTPRATO") = per * at(p.u, dish, "QTTOTCOMENSAIS").toDouble();
         },
         {"quantidade por pessoa", dishName}},
        {"capacity out of bounds",
         [&](Packets& p) { at(p.i, row, "VRQTDEPRATEMB") = big; },
         {"VRQTDEPRATEMB", "embalagem", "1.000.000.000"}},
        {"units out of bounds",
         [&](Packets& p) { at(p.e, col, "QTCONTAINER") = big; },
         {"QTCONTAINER", "embalagem", "100.000"}},
        {"half a unit",
         [&](Packets& p) { at(p.e, col, "QTCONTAINER") = 0.5; },
         {"QTCONTAINER", "inteiro"}},
        {"no units holding a dish",
         [&](Packets& p) { at(p.e, col, "QTCONTAINER") = 0.0; },
         {"nenhuma unidade", "QTCONTAINER"}},
        {"units left empty holding a dish",
         [&](Packets& p) { at(p.e, col, "QTCONTAINER") = QVariant(); },
         {"nenhuma unidade"}},
        // Each row's rounding used to add its own tolerance: two units of the last decimal
        // more in the packaging passed for a dish in one packaging.
        {"food created within the rounding of each row",
         [&](Packets& p) {
             for (auto [packet, r] : {std::pair{&p.i, row}, std::pair{&p.e, col}})
                 at(*packet, r, "QTPRATO") = at(*packet, r, "QTPRATO").toDouble() + 0.00002;
         },
         {"quantidade distribuída", dishName}},
        {"packaging total unlike its rows",
         [&](Packets& p) { at(p.e, col, "QTPRATO") = 12345.0; },
         {"quantidade da embalagem", "12345", "soma"}},
        {"lone surrogate in a label",
         [&](Packets& p) {
             at(p.e, col, "DSOBSETIQUETA") = QStringLiteral("@LONE@");
             p.from = "@LONE@";
             p.to = "\\ud800x";
         },
         {"DSOBSETIQUETA", "Unicode"}},
        {"embedded NUL in a label",
         [&](Packets& p) { at(p.e, col, "DSOBSETIQUETA") = QStringLiteral("a%1b").arg(QChar(0)); },
         {"DSOBSETIQUETA", "controle"}},
        {"text where a number belongs",
         [&](Packets& p) {
             p.i.Fields[p.i.IndexOf("QTPRATO")].Type = TFieldType::String;
             for (auto& r : p.i.Rows)
                 r[p.i.IndexOf("QTPRATO")] = QStringLiteral("abc");
         },
         {"QTPRATO", "deve ser um número"}},
        {"dish number out of the integer range",
         [&](Packets& p) { at(p.i, row, "NRSEQPRATCAR") = big; },
         {"NRSEQPRATCAR", "inteiro"}},
        {"distribution number out of range",
         [&](Packets& p) { p.number = big; },
         {"não encontrada"}},
        {"too many packagings",
         [&](Packets& p) {
             const QVector<QVariant> empty = p.e.Rows[col];
             for (int n = 0; p.e.Rows.size() <= InputLimits::maxPackagings; ++n) {
                 p.e.Rows.push_back(empty);
                 p.e.Rows.back()[p.e.IndexOf("NREMBDISTCARD")] = -1.0 - n;
             }
         },
         {"embalagens", "2.000"}},
    };
    for (const auto& c : cases) {
        Packets p = base;
        c.change(p);
        const QJsonObject r = save(p);
        EXPECT_FALSE(r.value("ok").toBool()) << c.rule;
        const QString message = r.value("message").toString();
        for (const QString& m : c.mentions)
            EXPECT_TRUE(message.contains(m)) << c.rule << ": " << message.toStdString();
        EXPECT_EQ(data("GetDistribuicao", {"0001", "00004", "2026-12-08", "10003", "001", "N"}),
                  stored)
            << c.rule;
    }

    // A branch generation refuses a code with a control character, naming the field.
    TDataPacket services;
    services.Fields = {{"IDMARCADO", TFieldType::String, 1},
                       {"CDFILIAL", TFieldType::String, 4},
                       {"CDSERVFILI", TFieldType::String, 5}};
    services.Rows = {{"S", "0001", QStringLiteral("0000\x01")}};
    const QJsonObject g =
        call("GeraDistribuicaoFilial", {"2026-12-08", PacketCodec::ToJson(services), "S"});
    EXPECT_FALSE(g.value("ok").toBool());
    EXPECT_TRUE(g.value("message").toString().contains("CDSERVFILI"))
        << g.value("message").toString().toStdString();
    // A huge method name is quoted back cut short.
    const QJsonObject unknown =
        post(QJsonDocument(QJsonObject{{"jsonrpc", "2.0"},
                                       {"id", 1},
                                       {"method", QString(1 << 17, QLatin1Char('x'))}})
                 .toJson());
    const QString text = unknown.value("error").toObject().value("message").toString();
    EXPECT_LT(text.size(), 200);
    EXPECT_TRUE(text.endsWith(QChar(0x2026))) << text.toStdString();
}

// With versions required, an old client's save or delete is refused naming the reason and
// stores nothing; the same calls with the version go through.
TEST_F(RpcHttpTest, RequiredVersionsRefuseUnversionedSavesAndDeletes) {
    client_.reset();
    server_.stop();
    options_.requireVersion = true;
    start();
    const QJsonArray point{"0001", "00004", "2026-12-08", "10003", "001", "N"};
    const test::DistributionView view = test::DistributionView::of(call("GetDistribuicao", point));
    ASSERT_TRUE(view.version);
    for (const auto& [method, params] :
         {std::pair{"SetDistribuicao", view.saveParams(false)},
          std::pair{"ApagaDistribuicao", QJsonArray{view.number}},
          std::pair{"ApagaDistribuicao", QJsonArray{view.number, QJsonValue()}}}) {
        const QJsonObject r = call(method, params);
        EXPECT_FALSE(r.value("ok").toBool()) << method;
        EXPECT_TRUE(r.value("message").toString().contains("não enviou a versão")) << method;
    }
    EXPECT_EQ(test::DistributionView::of(call("GetDistribuicao", point)).version, view.version);
    EXPECT_TRUE(call("SetDistribuicao", view.saveParams()).value("ok").toBool());
}

} // namespace
