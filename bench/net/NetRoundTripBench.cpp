// A small remote call through TNetConnection against a bare cpp-httplib POST of the same
// bytes, both with keep-alive and TCP_NODELAY on both ends, to one loopback server, in the
// same run. Prints "name: value unit" lines.
//
// Each keep-alive connection is served by its own server thread, and where the scheduler
// puts that thread relative to the client decides the latency (on small virtual machines
// about 30 us on one core against 80 us across cores, whatever the client). The threads are
// therefore pinned, so both clients are measured under the same placement: first all on
// one core, then client and server on different cores.
#include "framework/net/JsonRpc.h"
#include "framework/net/NetConnection.h"

#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <httplib.h>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

const char* const kPath = "/PLA15400.rdmDistEmbCard";

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
    return v[i];
}

QJsonObject SmallPacket() {
    const QJsonArray fields{QJsonObject{{"name", "CDSERVFILI"}, {"type", "string"}, {"size", 4}},
                            QJsonObject{{"name", "NMSERVFILI"}, {"type", "string"}, {"size", 40}},
                            QJsonObject{{"name", "QTPRATO"}, {"type", "float"}}};
    const QJsonArray rows{QJsonArray{"0001", "Almoço", 2.5}, QJsonArray{"0002", "Jantar", 1.0}};
    return QJsonObject{{"ok", true}, {"data", QJsonObject{{"fields", fields}, {"rows", rows}}}};
}

void PinCurrentThread(int cpu) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    pthread_setaffinity_np(pthread_self(), sizeof set, &set);
}

// Runs both clients against a fresh server; the client runs on clientCpu, the server's
// threads (created by the listener thread, so inheriting its affinity) on serverCpu.
bool Run(const char* label, int clientCpu, int serverCpu, int iterations) {
    PinCurrentThread(clientCpu);
    httplib::Server server;
    server.set_tcp_nodelay(true);
    server.set_keep_alive_max_count(1000000);
    const QJsonObject answer = SmallPacket();
    // One handler for both clients, so the server's share is identical.
    server.Post(kPath, [&answer](const httplib::Request& req, httplib::Response& res) {
        const auto p = pla::JsonRpc::ParseRequest(QByteArray::fromStdString(req.body));
        res.set_content(pla::JsonRpc::EncodeResult(p.request.id, answer).toStdString(),
                        "application/json");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread t([&server, serverCpu] {
        PinCurrentThread(serverCpu);
        server.listen_after_bind();
    });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    TNetConnection conn;
    conn.Host = QStringLiteral("127.0.0.1");
    conn.Port = port;
    const QJsonArray params{QStringLiteral("0001"), QStringLiteral("2026-12-08")};

    httplib::Client bare("127.0.0.1", port);
    bare.set_keep_alive(true);
    bare.set_tcp_nodelay(true);
    const std::string body =
        pla::JsonRpc::EncodeRequest(1, QStringLiteral("GetServicos"), params).toStdString();
    // The same headers the connection sends, so both requests are byte for byte alike.
    const httplib::Headers headers{{"Accept", "application/json"}, {"Accept-Encoding", "identity"}};

    std::vector<double> viaConnection, viaBare;
    viaConnection.reserve(iterations);
    viaBare.reserve(iterations);
    bool ok = true;
    auto one = [&](bool connection, bool record) {
        const auto t0 = Clock::now();
        if (connection) {
            const QJsonValue r = conn.Call(QStringLiteral("GetServicos"), params);
            ok = ok && r.toObject().value("ok").toBool();
        } else {
            const auto r = bare.Post(kPath, headers, body, "application/json");
            ok = ok && r && r->status == 200;
        }
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
        if (record) (connection ? viaConnection : viaBare).push_back(us);
    };
    for (int i = 0; i < 200; ++i) {
        one(true, false);
        one(false, false);
    }
    // Interleaved in blocks so drift on a shared machine hits both alike.
    for (int done = 0; done < iterations; done += 100) {
        for (int i = 0; i < 100; ++i)
            one(true, true);
        for (int i = 0; i < 100; ++i)
            one(false, true);
    }
    conn.Disconnect();
    server.stop();
    t.join();
    if (!ok) {
        std::fprintf(stderr, "a call failed: %s\n", conn.LastFailure().toStdString().c_str());
        return false;
    }

    const double c50 = Percentile(viaConnection, 0.50), c99 = Percentile(viaConnection, 0.99);
    const double b50 = Percentile(viaBare, 0.50), b99 = Percentile(viaBare, 0.99);
    std::printf("net_roundtrip_%s_connection_p50: %.1f us\n", label, c50);
    std::printf("net_roundtrip_%s_connection_p99: %.1f us\n", label, c99);
    std::printf("net_roundtrip_%s_bare_httplib_p50: %.1f us\n", label, b50);
    std::printf("net_roundtrip_%s_bare_httplib_p99: %.1f us\n", label, b99);
    std::printf("net_roundtrip_%s_ratio_p50: %.3f ratio\n", label, c50 / b50);
    std::printf("net_roundtrip_%s_ratio_p99: %.3f ratio\n", label, c99 / b99);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::max(100, std::atoi(argv[1])) : 4000;
    if (!Run("same_core", 0, 0, iterations)) return 1;
    if (std::thread::hardware_concurrency() > 1 && !Run("cross_core", 0, 1, iterations)) return 1;
    return 0;
}
