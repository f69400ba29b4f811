// Many desktops left open and a few clients sending a byte at a time must not make anyone
// else wait: a fresh client's call and /health still answer at once.
#include "TestDatabase.h"
#include "TestSockets.h"
#include "appserver/EmbeddedServer.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <httplib.h>
#include <thread>

using namespace pla;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Median of `tries` timings of `action` in milliseconds.
template <typename Action> double medianMs(int tries, Action action) {
    std::vector<double> ms;
    for (int i = 0; i < tries; ++i) {
        const auto began = Clock::now();
        action();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - began).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

TEST(IdleClients, AThousandIdleAndTwoHundredSlowSendersDoNotDelayAFreshCall) {
    test::ensureApplication();
    QTemporaryDir dir;
    EmbeddedServer server;
    const int port =
        server.start(dir.filePath(QStringLiteral("idle.sqlite")), true, test::demoToday());
    const auto idle = test::idleConnections(port, 1000);
    std::vector<test::RawConnection> slow;
    for (int i = 0; i < 200; ++i) {
        slow.emplace_back(port);
        slow.back().send("POST /PLA15400.rdmDistEmbCard HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Lento: ");
    }
    std::atomic<bool> done{false};
    std::thread trickle([&] {
        while (!done) {
            for (auto& c : slow)
                c.send("a");
            std::this_thread::sleep_for(200ms);
        }
    });
    std::this_thread::sleep_for(300ms); // every connection accepted and sending

    const std::string call = R"({"jsonrpc":"2.0","id":1,"method":"GetGruposServico","params":[]})";
    bool answered = true;
    const double callMs = medianMs(5, [&] {
        httplib::Client fresh("127.0.0.1", port);
        fresh.set_read_timeout(5, 0);
        const auto r = fresh.Post("/PLA15400.rdmDistEmbCard", call, "application/json");
        answered = answered && r && r->status == 200;
    });
    const double healthMs = medianMs(5, [&] {
        httplib::Client fresh("127.0.0.1", port);
        fresh.set_read_timeout(5, 0);
        const auto r = fresh.Get("/health");
        answered = answered && r && r->status == 200;
    });
    done = true;
    trickle.join();
    EXPECT_TRUE(answered);
    EXPECT_LT(callMs, 50.0);
    EXPECT_LT(healthMs, 50.0);
}

} // namespace
