// Stopping the in-process server: prompt even while clients hold idle kept-alive connections,
// yet a request in progress still gets its answer, and keep-alive works between requests.
#include "TestDatabase.h"
#include "TestSockets.h"
#include "appserver/AppServer.h"
#include "appserver/EmbeddedServer.h"
#include "framework/data/PacketCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <httplib.h>
#include <thread>

using namespace pla;
using Clock = std::chrono::steady_clock;

namespace {

const char* kPath = "/PLA15400.rdmDistEmbCard";

using test::RawConnection;

class EmbeddedStopTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        port_ =
            server_.start(dir_.filePath(QStringLiteral("stop.sqlite")), true, test::demoToday());
    }
    // Milliseconds stop() took.
    long long timedStop() {
        const auto began = Clock::now();
        server_.stop();
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began).count();
    }

    QTemporaryDir dir_;
    EmbeddedServer server_;
    int port_ = 0;
};

TEST_F(EmbeddedStopTest, IdleKeptAliveConnectionsSurvivePausesButDoNotDelayStop) {
    RawConnection idle(port_);
    ASSERT_TRUE(idle.connected());
    ASSERT_TRUE(idle.health());
    // A pause between requests keeps the connection: the second request uses it again.
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    ASSERT_TRUE(idle.health());

    // The desktop client's own kind of connection, idle after one call.
    httplib::Client client("127.0.0.1", port_);
    client.set_keep_alive(true);
    ASSERT_TRUE(client.Get("/health"));
    // A connection accepted but never used.
    RawConnection silent(port_);
    ASSERT_TRUE(silent.connected());
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // let the server accept it

    EXPECT_LT(timedStop(), 500);
    EXPECT_FALSE(server_.isRunning());
    EXPECT_TRUE(idle.closedWithin(std::chrono::milliseconds(500)));
    EXPECT_TRUE(silent.closedWithin(std::chrono::milliseconds(500)));
}

TEST_F(EmbeddedStopTest, StopLetsTheSaveInProgressFinishAndAnswer) {
    httplib::Client client("127.0.0.1", port_);
    client.set_keep_alive(true);
    auto post = [&](const char* method, const QJsonArray& params) {
        const QJsonObject request{
            {"jsonrpc", "2.0"}, {"id", 1}, {"method", method}, {"params", params}};
        const auto res =
            client.Post(kPath, QJsonDocument(request).toJson().toStdString(), "application/json");
        return res ? QJsonDocument::fromJson(QByteArray::fromStdString(res->body))
                         .object()
                         .value("result")
                         .toObject()
                   : QJsonObject();
    };
    const QJsonArray loaded =
        post("GetDistribuicao", {"0001", "00003", "2026-12-08", "10002", "001", "N"})
            .value("data")
            .toArray();
    ASSERT_EQ(loaded.size(), 5);
    const double number = PacketCodec::FromJson(loaded[1]).Rows.at(0).at(0).toDouble();

    std::atomic<bool> entered{false};
    server_.server()->setWriteHook([&](const QString& table) {
        if (table != QLatin1String("CARDDISP")) return;
        entered = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    QJsonObject saved;
    std::thread saving([&] {
        saved = post("SetDistribuicao", {number, loaded[2], loaded[3], loaded[4]});
    });
    RawConnection idle(port_);
    ASSERT_TRUE(idle.health());
    while (!entered)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    const long long took = timedStop();
    saving.join();
    EXPECT_TRUE(saved.value("ok").toBool()) << QJsonDocument(saved).toJson().toStdString();
    EXPECT_LT(took, 1500);
    EXPECT_TRUE(idle.closedWithin(std::chrono::milliseconds(200)));
}

} // namespace
