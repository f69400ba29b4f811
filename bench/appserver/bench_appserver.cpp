// Latency and calls per second of GetDistribuicao and SetDistribuicao (the same content again,
// and contents differing in every dish row) for a distribution of 60 dishes, 30
// packagings and 300 dish rows, with 1, 8 and 64 kept-alive clients calling at once, without
// and with 1,000 idle connections open, against a bare HTTP round trip of the same bytes.
// Prints one "name: value unit" line per figure. Options: --backend sqlite|postgresql (one of
// the two), --in-process-only (the server's own work alone, as a profiler wants it),
// --in-process-calls N (300 by default), --http-get-only N (after the in-process figures, N
// Gets by one HTTP client taking turns with N in process, and nothing else) and --timeout S
// (seconds an HTTP call may take; 5 by default, more under valgrind).
#include "TestDatabase.h"
#include "TestSockets.h"
#include "appserver/EmbeddedServer.h"
#include "appserver/auth/Authenticator.h"
#include "appserver/auth/SessionStore.h"
#include "appserver/auth/UserStore.h"
#include "appserver/rpc/JsonRpcDispatcher.h"
#include "appserver/storage/SqlUtil.h"
#include "framework/data/PacketCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <httplib.h>
#if __has_include(<valgrind/callgrind.h>)
// Under callgrind (--collect-atstart=no) only the server's own work of each method is counted,
// one dump per method; elsewhere these do nothing.
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_TOGGLE_COLLECT
#define CALLGRIND_DUMP_STATS_AT(name)
#endif
#include <latch>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

using namespace pla;
using Clock = std::chrono::steady_clock;

namespace {

const char* kPath = "/PLA15400.rdmDistEmbCard";
const QString kDate = QStringLiteral("2027-01-15"); // outside the demo menus

struct Options {
    const char* backend = nullptr; // both when null
    bool inProcessOnly = false;
    int timeout = 5; // seconds
    int inProcessCalls = 300;
    int httpGetCalls = 0; // with --http-get-only: one client's Gets, nothing else
};
Options options;

struct Percentiles {
    double p50 = 0, p99 = 0;
};

Percentiles percentiles(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    auto at = [&](double q) {
        return us[std::min(us.size() - 1, static_cast<size_t>(q * us.size()))];
    };
    return {at(0.50), at(0.99)};
}

// One menu of 60 dishes for service 00003 of branch 0001.
void insertBigMenu(QSqlDatabase db) {
    SqlUtil::exec(
        db,
        QStringLiteral(
            "INSERT INTO CARDAPIO (NRCARDAPIO, CDFILIAL, CDSERVFILI, DTCARDAPIO, QTCOMENSAIS) "
            "VALUES ('BENCH00001', '0001', '00003', ?, 435)"),
        {kDate});
    for (int i = 1; i <= 60; ++i) {
        const QString dish = QStringLiteral("PR%1").arg((i - 1) % 24 + 1, 5, 10, QLatin1Char('0'));
        SqlUtil::exec(
            db,
            QStringLiteral(
                "INSERT INTO PRATCARD (NRCARDAPIO, NRSEQPRATCAR, NRORDPRATCAR, CDFILAUXPRAT, "
                "CDPRATO, QTPORPESSOA, QTEXTRA, SGUNIDADE) "
                "VALUES ('BENCH00001', ?, ?, '0001', ?, 0.1, 0.5, 'KG')"),
            {i, i, dish});
    }
}

QByteArray request(const char* method, const QJsonArray& params, int id = 1) {
    return QJsonDocument(
               QJsonObject{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}})
        .toJson(QJsonDocument::Compact);
}

QJsonObject result(const httplib::Result& r) {
    if (!r || r->status != 200) return {};
    return QJsonDocument::fromJson(QByteArray::fromStdString(r->body))
        .object()
        .value("result")
        .toObject();
}

// Spreads every dish over 5 of 30 individual packagings (10 dishes each): 300 dish rows. The
// five parts of a dish are (1 + skew·(part − 2))/5 of its totals, so saves of two skews
// differ in every dish row. Without stored packagings in `loaded`, 30 new ones are sent.
QJsonArray bigSave(const QJsonArray& loaded, double skew = 0) {
    const TDataPacket header = PacketCodec::FromJson(loaded[1]);
    TDataPacket undistributed = PacketCodec::FromJson(loaded[2]);
    TDataPacket packagings = PacketCodec::FromJson(loaded[3]);
    TDataPacket rows = PacketCodec::FromJson(loaded[4]);
    rows.Rows.clear();
    auto col = [](const TDataPacket& p, const char* n) {
        return p.IndexOf(QString::fromLatin1(n));
    };
    if (packagings.Rows.isEmpty())
        for (int k = 0; k < 30; ++k)
            packagings.Rows.push_back(
                {double(-(k + 1)), "00001", 435.0, QVariant(), "I", QVariant(), 0.0});
    QVector<double> numbers;
    for (const auto& p : packagings.Rows)
        numbers.push_back(p[col(packagings, "NREMBDISTCARD")].toDouble());
    std::sort(numbers.begin(), numbers.end(),
              [](double a, double b) { return std::abs(a) < std::abs(b); });
    for (int d = 0; d < undistributed.Rows.size(); ++d) {
        auto& u = undistributed.Rows[d];
        const double totals[3] = {u[col(undistributed, "QTTOTCOMENSAIS")].toDouble(),
                                  u[col(undistributed, "QTTOTPRATO")].toDouble(),
                                  u[col(undistributed, "QTTOTEXTRA")].toDouble()};
        double left[3] = {totals[0], totals[1], totals[2]};
        for (int part = 0; part < 5; ++part) {
            double share[3];
            for (int a = 0; a < 3; ++a) {
                share[a] = part == 4 ? left[a] : totals[a] * (1 + skew * (part - 2)) / 5;
                left[a] -= share[a];
            }
            rows.Rows.push_back({u[col(undistributed, "NRSEQPRATCAR")],
                                 numbers[(d * 5 + part) % 30], share[0], share[1], share[2],
                                 u[col(undistributed, "CDPRATO")], u[col(undistributed, "NMPRATO")],
                                 "KG", part == 0 ? "S" : "N", 0.5});
        }
        for (const char* f : {"QTCOMENSAIS", "QTPRATO", "QTEXTRA"})
            u[col(undistributed, f)] = 0.0;
    }
    return {header.Rows[0][0].toDouble(), PacketCodec::ToJson(undistributed),
            PacketCodec::ToJson(packagings), PacketCodec::ToJson(rows)};
}

// Latencies of `clients` kept-alive clients posting `body` at the same time, each up to
// `calls` times within `budget`; calls that fail or time out are counted, not timed.
struct Concurrent {
    Percentiles timing;
    int failed = 0;
    int answered = 0;
    double perSecond = 0; // answered calls per second of the whole run
};

Concurrent measure(int port, const QVector<QByteArray>& bodies, int clients, int calls,
                   std::chrono::seconds budget, const std::string& authorization = {}) {
    std::vector<std::string> b;
    for (const QByteArray& body : bodies)
        b.push_back(body.toStdString());
    const auto deadline = Clock::now() + budget;
    std::mutex mutex;
    std::vector<double> us;
    int failed = 0;
    std::vector<std::thread> threads;
    // Calls per second count from the moment every client holds its connection: a burst of
    // connections can overflow the listen queue of the bare server and wait a second for a
    // retried SYN, which says nothing about calls.
    std::latch connected(clients);
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([&] {
            httplib::Client c("127.0.0.1", port);
            c.set_tcp_nodelay(true);
            c.set_keep_alive(true);
            c.set_connection_timeout(options.timeout, 0);
            c.set_read_timeout(options.timeout, 0);
            if (!authorization.empty()) c.set_default_headers({{"Authorization", authorization}});
            std::vector<double> own;
            int lost = 0;
            // The first call opens the connection; it is not timed. Bodies take turns.
            for (int k = 0; k <= calls && Clock::now() < deadline; ++k) {
                const auto t0 = Clock::now();
                auto r = c.Post(kPath, b[k % b.size()], "application/json");
                if (!r || r->status != 200)
                    ++lost;
                else if (k > 0)
                    own.push_back(
                        std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
                if (k == 0) connected.arrive_and_wait();
            }
            const std::lock_guard lock(mutex);
            us.insert(us.end(), own.begin(), own.end());
            failed += lost;
        });
    connected.wait();
    const auto started = Clock::now();
    for (auto& t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    return {us.empty() ? Percentiles{} : percentiles(us), failed, static_cast<int>(us.size()),
            us.size() / seconds};
}

// Waits until calls abandoned by timed-out clients have run: /health queues behind them.
void settle(int port) {
    httplib::Client c("127.0.0.1", port);
    c.set_read_timeout(300, 0);
    c.Get("/health");
}

void report(const char* label, const char* method, int clients, int idle, const Concurrent& c) {
    const std::string name = std::string(label) + "_" + method + "_" + std::to_string(clients) +
                             "_clients" + (idle ? "_" + std::to_string(idle) + "_idle" : "");
    if (c.answered)
        std::printf("%s_p50: %.1f us\n%s_p99: %.1f us\n%s_calls_per_s: %.0f calls/s\n",
                    name.c_str(), c.timing.p50, name.c_str(), c.timing.p99, name.c_str(),
                    c.perSecond);
    // Calls that failed or timed out (--timeout) within the time allowed: a stalled server.
    if (c.failed || !c.answered)
        std::printf("%s_failed: %d calls\n%s_answered: %d calls\n", name.c_str(), c.failed,
                    name.c_str(), c.answered);
    std::fflush(stdout);
}

// The floor: a server that answers `reply` to any POST, same library and settings.
class BareServer {
public:
    explicit BareServer(std::string reply) : reply_(std::move(reply)) {
        server_.set_tcp_nodelay(true);
        server_.set_keep_alive_max_count(1000000);
        server_.Post(kPath, [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(reply_, "application/json");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~BareServer() {
        server_.stop();
        thread_.join();
    }
    int port() const { return port_; }

private:
    std::string reply_;
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

void run(test::Backend backend, const char* label) {
    test::TestDatabase db(backend);
    if (!db.available()) {
        std::printf("# %s indisponível: %s\n", label, db.skipReason().toLocal8Bit().constData());
        return;
    }
    insertBigMenu(db.connection());
    EmbeddedServer server;
    const int port = server.start(db.address(), false);

    const QByteArray get =
        request("GetDistribuicao", {"0001", "00003", kDate, "10002", "001", "N"});
    httplib::Client c("127.0.0.1", port);
    c.set_read_timeout(options.timeout, 0);
    QJsonObject r = result(c.Post(kPath, get.toStdString(), "application/json"));
    const QByteArray firstSave = request("SetDistribuicao", bigSave(r.value("data").toArray()));
    r = result(c.Post(kPath, firstSave.toStdString(), "application/json"));
    if (!r.value("ok").toBool()) {
        std::fprintf(stderr, "gravação inicial recusada: %s\n",
                     r.value("message").toString().toLocal8Bit().constData());
        return;
    }
    const auto loadedReply = c.Post(kPath, get.toStdString(), "application/json");
    const QJsonArray loaded = result(loadedReply).value("data").toArray();
    const TDataPacket rows = PacketCodec::FromJson(loaded[4]);
    std::printf("# %s: %lld pacotes de %lld linhas de pratos, resposta de %zu bytes\n", label,
                static_cast<long long>(PacketCodec::FromJson(loaded[3]).Rows.size()),
                static_cast<long long>(rows.Rows.size()), loadedReply->body.size());
    const double number = PacketCodec::FromJson(loaded[1]).Rows[0][0].toDouble();
    // The same content again (only the version and the audit trail change), and two contents
    // that differ in every dish row, taking turns.
    const QByteArray set = request("SetDistribuicao", {number, loaded[2], loaded[3], loaded[4]});
    const QVector<QByteArray> changing = {request("SetDistribuicao", bigSave(loaded, 0.1)),
                                          request("SetDistribuicao", bigSave(loaded, -0.1))};
    const std::string setReply = c.Post(kPath, set.toStdString(), "application/json")->body;

    struct Method {
        const char* name;
        QVector<QByteArray> bodies;
        std::string reply;
    };
    const Method methods[] = {{"GetDistribuicao", {get}, loadedReply->body},
                              {"SetDistribuicao", {set}, setReply},
                              {"SetDistribuicao_every_row_changed", changing, setReply}};
    // The server's own work, without HTTP: the dispatcher called in this thread, before the
    // runs below leave the database anything to clean up.
    {
        const QSqlDatabase conn = db.connection();
        const JsonRpcDispatcher direct([conn] { return conn; });
        const RequestContext local{"127.0.0.1", {}};
        for (const Method& m : methods) {
            std::vector<double> us;
            CALLGRIND_ZERO_STATS;
            CALLGRIND_TOGGLE_COLLECT;
            for (int k = 0; k < options.inProcessCalls; ++k) {
                const auto t0 = Clock::now();
                direct.handle(m.bodies[k % m.bodies.size()], local);
                us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
            }
            CALLGRIND_TOGGLE_COLLECT;
            const std::string dump = std::string(label) + "_" + m.name;
            CALLGRIND_DUMP_STATS_AT(dump.c_str());
            std::printf("%s_%s_in_process_p50: %.1f us\n", label, m.name, percentiles(us).p50);
        }
    }
    if (options.inProcessOnly) return;
    if (options.httpGetCalls > 0) {
        // The HTTP share of a Get on its own: one kept-alive client's Gets taking turns with the
        // same call in process, so both see the same load of the machine. Under callgrind
        // (counting from the start) the dump before and after these calls bounds their part.
        const QSqlDatabase conn = db.connection();
        const JsonRpcDispatcher direct([conn] { return conn; });
        const RequestContext local{"127.0.0.1", {}, {}};
        httplib::Client client("127.0.0.1", port);
        client.set_tcp_nodelay(true);
        client.set_keep_alive(true);
        client.set_read_timeout(options.timeout, 0);
        const std::string body = get.toStdString();
        auto call = [&] {
            const auto r = client.Post(kPath, body, "application/json");
            if (!r || r->status != 200) std::fprintf(stderr, "chamada HTTP falhou\n");
        };
        call(); // opens the connection
        std::vector<double> http, inProcess;
        CALLGRIND_DUMP_STATS_AT("before_http");
        for (int k = 0; k < options.httpGetCalls; ++k) {
            auto t0 = Clock::now();
            call();
            http.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
            t0 = Clock::now();
            direct.handle(get, local);
            inProcess.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        }
        const std::string dump = std::string(label) + "_GetDistribuicao_http";
        CALLGRIND_DUMP_STATS_AT(dump.c_str());
        const double h = percentiles(http).p50, p = percentiles(inProcess).p50;
        std::printf("%s_GetDistribuicao_turns_http_p50: %.1f us\n", label, h);
        std::printf("%s_GetDistribuicao_turns_in_process_p50: %.1f us\n", label, p);
        std::printf("%s_GetDistribuicao_turns_http_share: %.1f us\n", label, h - p);
        return;
    }
    std::map<std::string, Concurrent> one, eight; // by method, without idle connections
    for (const int idle : {0, 1000}) {
        const auto idleConnections = test::idleConnections(port, idle);
        for (const int clients : {1, 8, 64}) {
            const int calls = std::max(10, 300 / clients);
            for (const Method& m : methods) {
                const Concurrent c =
                    measure(port, m.bodies, clients, calls, std::chrono::seconds(10));
                settle(port);
                report(label, m.name, clients, idle, c);
                if (idle == 0 && clients == 1) one[m.name] = c;
                if (idle == 0 && clients == 8) eight[m.name] = c;
            }
        }
    }

    // The floor: the same bytes through the same HTTP library, by 1 and by 8 clients.
    for (const Method& m : methods) {
        const BareServer bare(m.reply);
        const Concurrent b1 = measure(bare.port(), m.bodies, 1, 300, std::chrono::seconds(6));
        const Concurrent b8 = measure(bare.port(), m.bodies, 8, 100, std::chrono::seconds(6));
        std::printf("%s_%s_bare_http_p50: %.1f us\n", label, m.name, b1.timing.p50);
        std::printf("%s_%s_over_bare: %.1f x\n", label, m.name,
                    one[m.name].timing.p50 / b1.timing.p50);
        std::printf("%s_%s_8_clients_bare_http_calls_per_s: %.0f calls/s\n", label, m.name,
                    b8.perSecond);
        std::printf("%s_%s_8_clients_under_bare: %.1f x\n", label, m.name,
                    b8.perSecond / std::max(1.0, eight[m.name].perSecond));
    }
    const Percentiles g1 = one["GetDistribuicao"].timing;

    // From here on the database has a user: every call needs his session.
    QSqlDatabase conn = db.connection();
    UserStore(conn).add({"bench", "Bancada", "0001", false, true}, "senha-da-bancada");
    QDateTime expires;
    const QString token =
        SessionStore(conn).open("bench", QDateTime::currentDateTimeUtc(), expires);
    const RequestContext context{"127.0.0.1", "Bearer " + token.toLatin1()};
    // Per call as the server makes it (a session checked in the last 2 s is remembered), and
    // the database look-up it makes otherwise.
    auto perCheck = [&](CredentialCache* cache) {
        Authenticator auth(conn, cache);
        constexpr int kChecks = 2000;
        const auto t0 = Clock::now();
        for (int i = 0; i < kChecks; ++i)
            if (auth.caller(context, QDateTime::currentDateTimeUtc()).login.isEmpty())
                std::fprintf(stderr, "sessão recusada\n");
        return std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / kChecks;
    };
    CredentialCache cache(2000);
    const double check = perCheck(&cache);
    const double lookup = perCheck(nullptr);
    const Percentiles gs =
        measure(port, {get}, 1, 300, std::chrono::seconds(10), context.authorization.toStdString())
            .timing;
    std::printf("%s_credential_check: %.2f us\n", label, check);
    std::printf("%s_credential_check_of_GetDistribuicao: %.3f %%\n", label, 100 * check / g1.p50);
    std::printf("%s_credential_lookup_uncached: %.1f us\n", label, lookup);
    std::printf("%s_credential_lookup_of_GetDistribuicao: %.2f %%\n", label, 100 * lookup / g1.p50);
    std::printf("%s_GetDistribuicao_with_session_p50: %.1f us\n", label, gs.p50);
    std::printf("%s_GetDistribuicao_with_session_p99: %.1f us\n", label, gs.p99);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--backend" && i + 1 < argc)
            options.backend = argv[++i];
        else if (a == "--in-process-only")
            options.inProcessOnly = true;
        else if (a == "--timeout" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            options.timeout = std::atoi(argv[++i]);
        else if (a == "--in-process-calls" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            options.inProcessCalls = std::atoi(argv[++i]);
        else if (a == "--http-get-only" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            options.httpGetCalls = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr,
                         "uso: bench_appserver [--backend sqlite|postgresql] [--in-process-only] "
                         "[--timeout SEGUNDOS] [--in-process-calls N] [--http-get-only N]\n");
            return 2;
        }
    }
    test::ensureApplication();
    for (const auto& [backend, label] :
         {std::pair{test::Backend::Sqlite, "sqlite"}, {test::Backend::Postgres, "postgresql"}})
        if (!options.backend || std::strcmp(options.backend, label) == 0) run(backend, label);
    return 0;
}
