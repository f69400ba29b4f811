// Who may call: credentials once the database has users, the tied user's branch on every
// method, and the audit trail every change leaves.
#include "DistributionView.h"
#include "ServerProcess.h"
#include "TestDatabase.h"
#include "appserver/EmbeddedServer.h"
#include "appserver/auth/AuditTrail.h"
#include "appserver/auth/LoginThrottle.h"
#include "appserver/auth/UserStore.h"
#include "appserver/rpc/RemoteMethods.h"
#include "appserver/storage/ConnectionPool.h"
#include "appserver/storage/DistributionStore.h"
#include "framework/data/PacketCodec.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace pla;
using pla::test::Backend;
using pla::test::DistributionView;

namespace {

const QDate kDate = test::demoToday();

QJsonObject loadPoint(RemoteMethods& m, const QString& branch = QStringLiteral("0001")) {
    return m.GetDistribuicao(branch, QStringLiteral("00003"), kDate, QStringLiteral("10002"),
                             QStringLiteral("001"), false);
}

TEST(CredentialsTest, OnceUsersExistEveryCallNeedsTheSessionOfALogin) {
    test::ensureApplication();
    QTemporaryDir dir;
    ServerOptions o;
    o.port = 0;
    o.database = dir.filePath(QStringLiteral("users.sqlite"));
    o.demo = true;
    o.today = kDate;
    o.credentialCacheMilliseconds = 200;
    EmbeddedServer server;
    const int port = server.start(o);
    {
        QSqlDatabase db = ConnectionPool::open(DatabaseConfig::parse(o.database), "users");
        UserStore(db).add({"ana", "Ana Souza", "0002", true, true}, "segredo-da-ana");
        db.close();
    }
    QSqlDatabase::removeDatabase("users");

    httplib::Client client("127.0.0.1", port);
    auto call = [&](const char* method, const std::string& authorization) {
        httplib::Headers headers;
        if (!authorization.empty()) headers.emplace("Authorization", authorization);
        const QJsonObject request{
            {"jsonrpc", "2.0"}, {"id", 1}, {"method", method}, {"params", QJsonArray()}};
        const auto res =
            client.Post("/PLA15400.rdmDistEmbCard", headers,
                        QJsonDocument(request).toJson().toStdString(), "application/json");
        return res ? QJsonDocument::fromJson(QByteArray::fromStdString(res->body)).object()
                   : QJsonObject();
    };
    auto basic = [](const char* pair) {
        return "Basic " + QByteArray(pair).toBase64().toStdString();
    };
    auto fault = [](const QJsonObject& answer) {
        const QJsonObject e = answer.value("error").toObject();
        return QStringLiteral("%1 %2")
            .arg(e.value("code").toInt())
            .arg(e.value("message").toString());
    };

    EXPECT_EQ(fault(call("GetGruposServico", "")), "-32001 Este servidor exige usuário e senha.");
    EXPECT_EQ(fault(call("GetGruposServico", "Bearer " + std::string(64, 'a'))),
              "-32001 Sessão inválida ou expirada. Entre novamente.");
    EXPECT_EQ(fault(call("GetGruposServico", basic("ana:segredo-da-ana"))).left(7), "-32001 ");
    EXPECT_EQ(call("Login", "").value("result").toObject().value("data").toObject(),
              QJsonObject({{"exigeLogin", true}}));
    for (const char* wrong : {"ana:errada", "ninguem:segredo-da-ana", "ana"})
        EXPECT_EQ(call("Login", basic(wrong)).value("result").toObject(),
                  QJsonObject({{"ok", false}, {"message", "Usuário ou senha inválidos."}}))
            << wrong;

    const QJsonObject login = call("Login", basic("ana:segredo-da-ana"))
                                  .value("result")
                                  .toObject()
                                  .value("data")
                                  .toObject();
    EXPECT_EQ(login.value("filial").toString(), "0002");
    EXPECT_TRUE(login.value("vinculado").toBool());
    const std::string bearer = "Bearer " + login.value("token").toString().toStdString();
    EXPECT_TRUE(call("GetGruposServico", bearer).value("result").toObject().value("ok").toBool());

    {
        QSqlDatabase db = ConnectionPool::open(DatabaseConfig::parse(o.database), "users");
        UserStore(db).disable("ana");
        db.close();
    }
    QSqlDatabase::removeDatabase("users");
    // Once the server's memory of the session has aged out.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(fault(call("GetGruposServico", bearer)),
              "-32001 Sessão inválida ou expirada. Entre novamente.");
    server.stop();
}

TEST(BranchRestrictionTest, ATiedUserIsRefusedAnotherBranchByEveryMethodAndNothingChanges) {
    test::ensureApplication();
    test::TestDatabase db(Backend::Sqlite);
    RemoteMethods owner(db.connection(), {}, Caller{"ana", "Ana", "0001", true, "10.0.0.5"});
    RemoteMethods other(db.connection(), {}, Caller{"rui", "Rui", "0002", true, "10.0.0.9"});
    const DistributionView view = DistributionView::of(loadPoint(owner));
    const std::optional<Distribution> before = DistributionStore(db.connection()).find(view.number);
    ASSERT_TRUE(before);

    TDataPacket services;
    services.Fields = {{"IDMARCADO", TFieldType::String, 1},
                       {"CDFILIAL", TFieldType::String, 4},
                       {"CDSERVFILI", TFieldType::String, 5}};
    services.Rows = {{"S", "0002", "00001"}, {"N", "0001", "00003"}};
    const std::pair<const char*, std::function<QJsonObject()>> calls[] = {
        {"GetServicos", [&] { return other.GetServicos("0001", kDate); }},
        {"GetServicosTransportados", [&] { return other.GetServicosTransportados("0001"); }},
        {"GetPontosEntrega", [&] { return other.GetPontosEntrega("0001", "00003"); }},
        {"GetDistribuicao", [&] { return loadPoint(other); }},
        {"SetDistribuicao",
         [&] {
             return other.SetDistribuicao(view.number, view.undistributed, view.packagings,
                                          view.rows, view.version);
         }},
        {"SetDistribuicao sem versão",
         [&] {
             return other.SetDistribuicao(view.number, view.undistributed, view.packagings,
                                          view.rows);
         }},
        {"ApagaDistribuicao", [&] { return other.ApagaDistribuicao(view.number, view.version); }},
        {"GeraDistribuicaoFilial",
         [&] { return other.GeraDistribuicaoFilial(kDate, services, true); }},
        {"SetImpressaoDistribuicao",
         [&] {
             TDataPacket printed;
             printed.Fields = {{"NRDISTCARD", TFieldType::Float, 0},
                               {"NRVERSAO", TFieldType::Float, 0}};
             printed.Rows = {{view.number, 1.0}};
             return other.SetImpressaoDistribuicao("0001", kDate, "E", {}, printed);
         }},
        {"GetEtiquetasImpressas", [&] { return other.GetEtiquetasImpressas("0001", kDate); }},
    };
    for (const auto& [name, call] : calls)
        EXPECT_EQ(call(),
                  QJsonObject({{"ok", false}, {"message", "Usuário restrito à filial 0002."}}))
            << name;

    const std::optional<Distribution> after = DistributionStore(db.connection()).find(view.number);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->version, before->version);
    EXPECT_TRUE(AuditTrail(db.connection()).events({}).isEmpty());
    // His own branch is his to work on.
    EXPECT_TRUE(other.GetServicos("0002", kDate).value("ok").toBool());
}

TEST(BranchQueryTest, AnswersTheWorkstationsQueryForTheBranchesTheUserMaySee) {
    test::ensureApplication();
    test::TestDatabase db(Backend::Sqlite);
    RemoteMethods free(db.connection(), {}, Caller{"ana", "Ana", "0001", false, "10.0.0.5"});
    RemoteMethods tied(db.connection(), {}, Caller{"rui", "Rui", "0002", true, "10.0.0.9"});
    const auto codes = [](const QJsonObject& answer) {
        EXPECT_TRUE(answer.value("ok").toBool())
            << answer.value("message").toString().toStdString();
        QStringList out;
        for (const auto& row : PacketCodec::FromJson(answer.value("data")).Rows)
            out << row[0].toString();
        return out.join(',');
    };
    // (code, all) as the query's P_CDFILIAL and P_TCDFILIAL: one code, or "T" for every one.
    const struct {
        RemoteMethods* who;
        QString code, all, expected;
    } cases[] = {
        {&free, "0002", {}, "0002"}, {&free, {}, "T", "0001,0002,0003"},
        {&free, "9999", {}, ""},     {&free, {}, {}, ""},
        {&free, "T", {}, ""},        {&tied, "0002", {}, "0002"},
        {&tied, {}, "T", "0002"},    {&tied, "0001", {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(codes(c.who->GetFiliais(c.code, c.all)), c.expected)
            << c.code.toStdString() << "/" << c.all.toStdString();
    const TDataPacket one = PacketCodec::FromJson(free.GetFiliais("0001", {}).value("data"));
    ASSERT_EQ(one.Rows.size(), 1);
    EXPECT_EQ(one.Fields.size(), 5);
    EXPECT_EQ(one.Rows[0][one.IndexOf("NMFILIAL")].toString(), "Cozinha Central São Paulo");
}

TEST(AuditTrailTest, ASaveRecordsWhoWhenWhereTheVersionsAndEveryPackagingAndDishRowChanged) {
    test::ensureApplication();
    test::TestDatabase db(Backend::Sqlite);
    RemoteMethods ana(db.connection(), {}, Caller{"ana", "Ana Souza", "0001", false, "10.0.0.5"});
    DistributionView view = DistributionView::of(loadPoint(ana));
    view.moveIntoNew(0, QStringLiteral("Frágil"));
    const QDateTime start = QDateTime::currentDateTimeUtc().addMSecs(-1);
    ASSERT_TRUE(ana.SetDistribuicao(view.number, view.undistributed, view.packagings, view.rows,
                                    view.version)
                    .value("ok")
                    .toBool());
    // A caller that sends no version is still served, and recorded as such.
    DistributionView again = DistributionView::of(loadPoint(ana));
    again.setRemark(0, QStringLiteral("Virar"));
    ASSERT_TRUE(ana.SetDistribuicao(again.number, again.undistributed, again.packagings, again.rows)
                    .value("ok")
                    .toBool());

    const QVector<AuditEvent> events = AuditTrail(db.connection()).events({});
    ASSERT_EQ(events.size(), 2);
    const double packaging = again.packagings.Rows[0][0].toDouble();
    const auto& dish = view.rows.Rows[0];
    QJsonObject first = events[0].toJson();
    EXPECT_GE(events[0].when, start);
    EXPECT_LE(events[0].when, QDateTime::currentDateTimeUtc());
    first.remove("quando");
    EXPECT_EQ(first,
              QJsonObject({
                  {"usuario", "ana"},
                  {"nome", "Ana Souza"},
                  {"endereco", "10.0.0.5"},
                  {"operacao", "gravação"},
                  {"distribuicao", view.number},
                  {"filial", "0001"},
                  {"servico", "00003"},
                  {"data", "2026-12-08"},
                  {"cliente", "10002"},
                  {"destino", "001"},
                  {"versaoAnterior", 1},
                  {"versao", 2},
                  {"versionada", true},
                  {"alteracoes",
                   QJsonArray{
                       QJsonObject{{"tipo", "embalagem"},
                                   {"acao", "incluída"},
                                   {"NREMBDISTCARD", packaging},
                                   {"antes", QJsonValue()},
                                   {"depois", QJsonObject{{"CDCONTAINER", "00001"},
                                                          {"QTCONTAINER", 340},
                                                          {"DSOBSETIQUETA", "Frágil"},
                                                          {"QTPRATO", 0}}}},
                       QJsonObject{{"tipo", "prato"},
                                   {"acao", "incluído"},
                                   {"NREMBDISTCARD", packaging},
                                   {"NRSEQPRATCAR", dish[0].toInt()},
                                   {"NMPRATO", dish[6].toString()},
                                   {"antes", QJsonValue()},
                                   {"depois", QJsonObject{{"QTCOMENSAIS", dish[2].toDouble()},
                                                          {"QTPRATO", dish[3].toDouble()},
                                                          {"QTEXTRA", dish[4].toDouble()}}}},
                   }},
              }));
    EXPECT_FALSE(events[1].versioned);
    EXPECT_EQ(events[1].versionBefore, 2);
    EXPECT_EQ(events[1].versionAfter, 3);
    ASSERT_EQ(events[1].changes.size(), 1);
    EXPECT_EQ(events[1].changes[0].toObject().value("acao").toString(), "alterada");
    EXPECT_EQ(events[1].changes[0]["depois"]["DSOBSETIQUETA"].toString(), "Virar");
}

// A full disk reaches the clerk as such instead of as a failure of the database, stores
// nothing, and the same save goes through once there is room again.
TEST(StorageFaultTest, AFullDiskIsNamedAndTheSaveWorksOnceThereIsRoom) {
    test::ensureApplication();
    test::TestDatabase db(Backend::Sqlite);
    RemoteMethods ana(db.connection(), {}, Caller{"ana", "Ana Souza", "0001", false, "10.0.0.5"});
    DistributionView view = DistributionView::of(loadPoint(ana));
    view.moveIntoNew(0, QStringLiteral("Frágil"));
    auto pragma = [&](const char* sql) { EXPECT_TRUE(QSqlQuery(db.connection()).exec(sql)); };
    // The database may not grow, and its free pages are used up: saves go on until the audit
    // trail needs a page more.
    pragma("CREATE TABLE ENCHIMENTO (X BLOB)");
    pragma("PRAGMA max_page_count = 1"); // as large as the database already is
    while (QSqlQuery(db.connection()).exec("INSERT INTO ENCHIMENTO VALUES (zeroblob(2000))")) {
    }
    QJsonObject full;
    for (int i = 0; i < 200; ++i) {
        view.setRemark(0, QString(200, QChar('a' + i % 26)));
        full = ana.SetDistribuicao(view.number, view.undistributed, view.packagings, view.rows,
                                   view.version);
        if (!full.value("ok").toBool()) break;
        view = DistributionView::of(loadPoint(ana));
    }
    EXPECT_TRUE(full.value("message").toString().contains("Disco cheio"))
        << full.value("message").toString().toStdString();
    EXPECT_EQ(DistributionView::of(loadPoint(ana)).version, view.version);
    pragma("PRAGMA max_page_count = 1073741823");
    EXPECT_TRUE(ana.SetDistribuicao(view.number, view.undistributed, view.packagings, view.rows,
                                    view.version)
                    .value("ok")
                    .toBool());
}

// One JSON-RPC call over a fresh connection from the loopback address `source` (127.0.0.N), so
// one test can be many clients; returns the JSON-RPC result or error member, empty on failure.
QJsonObject callFrom(int port, const char* source, const char* method,
                     const QByteArray& authorization) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in from{}, to{};
    from.sin_family = to.sin_family = AF_INET;
    ::inet_pton(AF_INET, source, &from.sin_addr);
    ::inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    to.sin_port = htons(static_cast<uint16_t>(port));
    QByteArray answer;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) == 0 &&
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        const QByteArray body =
            QByteArray(R"({"jsonrpc":"2.0","id":1,"method":")") + method + R"(","params":[]})";
        const QByteArray request =
            "POST /PLA15400.rdmDistEmbCard HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
            "Content-Type: application/json\r\nAuthorization: " +
            authorization + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
            body;
        if (::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) ==
            request.size()) {
            char buffer[4096];
            for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
                answer.append(buffer, n);
        }
    }
    ::close(fd);
    const QJsonObject o =
        QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4)).object();
    return o.contains("result") ? o.value("result").toObject() : o.value("error").toObject();
}

qint64 residentKiB(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    f.open(QIODevice::ReadOnly);
    const QByteArray status = f.readAll();
    const qsizetype at = status.indexOf("VmRSS:");
    return at < 0 ? 0
                  : status.mid(at + 6, status.indexOf('\n', at) - at - 6)
                        .trimmed()
                        .split(' ')[0]
                        .toLongLong();
}

// Sixteen clients guessing passwords from sixteen addresses: the guesses checked per second and
// the server's memory stay bounded, a clerk already in keeps working at full speed, and she logs
// in again with her password from her own address whatever was tried against her elsewhere.
TEST(LoginThrottleTest, AGuessingFloodIsSlowedAndBoundedWhileAClerkKeepsWorking) {
    test::ensureApplication();
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("flood.sqlite"));
    test::ServerProcess server;
    QString error;
    const int port = server.start(database, error);
    ASSERT_NE(port, 0) << error.toStdString();
    QProcess add;
    add.start(QStringLiteral(PLA_APPSERVER_EXE),
              {"user", "add", "ana", "--name", "Ana Souza", "--branch", "0001", "--db", database});
    add.write("segredo-da-ana\n");
    add.closeWriteChannel();
    ASSERT_TRUE(add.waitForFinished(20000));
    const QByteArray right = "Basic " + QByteArray("ana:segredo-da-ana").toBase64();
    const QByteArray wrong = "Basic " + QByteArray("ana:chute-errado").toBase64();
    const QByteArray bearer = "Bearer " + callFrom(port, "127.0.0.1", "Login", right)
                                              .value("data")
                                              .toObject()
                                              .value("token")
                                              .toString()
                                              .toUtf8();
    ASSERT_GT(bearer.size(), 10);
    const qint64 before = residentKiB(server.pid());

    constexpr auto kFlood = std::chrono::seconds(6);
    std::atomic<int> checked = 0, slowed = 0, busy = 0; // the answers the guesses got
    std::atomic<bool> flooding = true;
    std::vector<std::thread> attackers;
    for (int i = 0; i < 16; ++i)
        attackers.emplace_back([&, source = "127.0.0." + std::to_string(10 + i)] {
            while (flooding) {
                const QString m =
                    callFrom(port, source.c_str(), "Login", wrong).value("message").toString();
                ++(m.contains("inválidos")            ? checked
                   : m.contains("Tente novamente em") ? slowed
                                                      : busy);
                // Bounded: at most 100 guesses a second from each address.
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    std::vector<double> latencies;
    qint64 peak = before;
    // The clerk's desktop keeps its connection open, as the client always does.
    httplib::Client clerk("127.0.0.1", port);
    clerk.set_keep_alive(true);
    clerk.set_tcp_nodelay(true);
    const httplib::Headers session{{"Authorization", bearer.toStdString()}};
    const std::string groups = R"({"jsonrpc":"2.0","id":1,"method":"GetGruposServico"})";
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < kFlood) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto res =
            clerk.Post("/PLA15400.rdmDistEmbCard", session, groups, "application/json");
        EXPECT_TRUE(res && res->body.find("\"ok\":true") != std::string::npos);
        latencies.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
        peak = std::max(peak, residentKiB(server.pid()));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    flooding = false;
    for (auto& t : attackers)
        t.join();
    std::sort(latencies.begin(), latencies.end());
    const double p90 = latencies[latencies.size() * 9 / 10];
    std::printf("login flood %llds: %d guesses checked (%.1f/s), %d slowed, %d busy; memory %lld "
                "-> %lld KiB; clerk's calls p50 %.1f ms, p90 %.1f ms, max %.1f ms\n",
                static_cast<long long>(kFlood.count()), checked.load(),
                checked / double(kFlood.count()), slowed.load(), busy.load(),
                static_cast<long long>(before), static_cast<long long>(peak),
                latencies[latencies.size() / 2], p90, latencies.back());
    // One check at a time: a few a second, however many are sent.
    EXPECT_LE(checked, 20 * kFlood.count());
    EXPECT_LT(peak - before, 200 * 1024);
    EXPECT_LT(p90, 50);
    // One address guessing alone: five free guesses, then a wait; every failure is logged.
    for (int i = 1; i <= LoginThrottle::kFreeFailures + 1; ++i) {
        const QString m = callFrom(port, "127.0.0.99", "Login", wrong).value("message").toString();
        EXPECT_TRUE(
            m.contains(i <= LoginThrottle::kFreeFailures ? "inválidos" : "Tente novamente em 1"))
            << i << ": " << m.toStdString();
    }
    const QByteArray log = server.output(200);
    EXPECT_TRUE(log.contains("login recusado: usuário \"ana\" de 127.0.0.99"))
        << log.right(300).toStdString();
    // The clerk logs in from her own desk whatever was tried against her elsewhere.
    EXPECT_TRUE(callFrom(port, "127.0.0.1", "Login", right).value("ok").toBool());
}

// pla-appserver's operator commands, run as the operator runs them.
TEST(AdminCommandsTest, UsersComeFromTheStandardInputAndTheAuditPrintsWhatChanged) {
    test::ensureApplication();
    test::TestDatabase db(Backend::Sqlite);
    auto run = [&](QStringList args, const QByteArray& input = {}) {
        QProcess p;
        p.start(QStringLiteral(PLA_APPSERVER_EXE), args << QStringLiteral("--db") << db.address());
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(20000);
        return std::make_pair(
            p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
    };
    using Result = std::pair<int, QString>;
    const QStringList add{"user",      "add",      "ana",  "--name",
                          "Ana Souza", "--branch", "0002", "--tied"};
    EXPECT_EQ(run(add, "segredo-da-ana\n"), Result(0, "Usuário ana criado.\n"));
    EXPECT_EQ(run(add, "segredo-da-ana\n"), Result(1, "O usuário ana já existe.\n"));
    EXPECT_EQ(run({"user", "add", "bia", "--name", "Bia", "--branch", "9999"}, "segredo-da-bia\n"),
              Result(1, "Filial 9999 não cadastrada.\n"));
    EXPECT_EQ(run({"user", "passwd", "ana"}, "curta\n"),
              Result(1, "A senha deve ter pelo menos 8 caracteres.\n"));
    const Result list = run({"user", "list"});
    EXPECT_EQ(list.first, 0);
    EXPECT_TRUE(list.second.contains(QRegularExpression("ana +Ana Souza +0002 +sim +sim")))
        << list.second.toStdString();
    EXPECT_TRUE(UserStore(db.connection()).verify("ana", "segredo-da-ana").has_value());

    RemoteMethods ana(db.connection(), {}, Caller{"ana", "Ana Souza", "0001", false, "10.0.0.5"});
    DistributionView view = DistributionView::of(loadPoint(ana));
    // A label's line break, kept as such, cannot make the audit print a forged record.
    const QString forged = QStringLiteral("Frágil\n09/12/2026 10:00  admin\texclusão");
    view.moveIntoNew(0, forged);
    ASSERT_TRUE(ana.SetDistribuicao(view.number, view.undistributed, view.packagings, view.rows,
                                    view.version)
                    .value("ok")
                    .toBool());
    EXPECT_EQ(DistributionView::of(loadPoint(ana)).remark(0), forged);
    const QStringList audit{"audit", "--distribution", QString::number(view.number)};
    const Result json = run(QStringList(audit) << "--json");
    ASSERT_EQ(json.first, 0);
    const QJsonArray events = QJsonDocument::fromJson(json.second.toUtf8()).array();
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0]["usuario"].toString(), "ana");
    const QString visible = QStringLiteral("Frágil\\n09/12/2026 10:00  admin\\texclusão");
    EXPECT_EQ(events[0]["alteracoes"][0]["depois"]["DSOBSETIQUETA"].toString(), visible);
    const Result table = run(audit);
    EXPECT_TRUE(table.second.contains(QRegularExpression(
        "ana +10\\.0\\.0\\.5 +gravação +\\d+ +0001/00003/08/12/2026/10002-001 +1 → 2\n"
        " +embalagem \\d+ incluída: CDCONTAINER \"00001\", DSOBSETIQUETA \"" +
        QRegularExpression::escape(visible) + "\", QTCONTAINER 340, QTPRATO 0\n")))
        << table.second.toStdString();
    EXPECT_EQ(table.second.count(QLatin1Char('\n')), 4) << table.second.toStdString();
    EXPECT_EQ(run({"audit", "--since", "ontem"}).first, 2);
}

} // namespace
