// Stopping the in-process server: prompt even while clients hold idle kept-alive connections,
// yet a request in progress still gets its answer, and keep-alive works between requests.
#include "TestDatabase.h"
#include "appserver/AppServer.h"
#include "appserver/EmbeddedServer.h"
#include "framework/data/PacketCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace pla;
using Clock = std::chrono::steady_clock;

namespace {

const char* kPath = "/PLA15400.rdmDistEmbCard";

// A plain TCP connection, so the test sees exactly when the server closes it.
class RawConnection {
public:
    explicit RawConnection(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        timeval tv{5, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    }
    ~RawConnection() { ::close(fd_); }
    bool connected() const { return connected_; }

    // Sends GET /health and reads its whole answer; false when the connection failed.
    bool health() {
        const std::string request = "GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        if (::send(fd_, request.data(), request.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(request.size()))
            return false;
        std::string answer;
        char buffer[512];
        while (answer.find("\r\n\r\nok") == std::string::npos) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) return false;
            answer.append(buffer, static_cast<size_t>(n));
        }
        return answer.rfind("HTTP/1.1 200", 0) == 0;
    }
    // True when the server closed or reset the connection within `wait`.
    bool closedWithin(std::chrono::milliseconds wait) {
        timeval tv{0, static_cast<suseconds_t>(wait.count() * 1000)};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        char c;
        const ssize_t n = ::recv(fd_, &c, 1, 0);
        // A connection still waiting in the listen queue is reset rather than closed.
        return n == 0 || (n < 0 && errno == ECONNRESET);
    }

private:
    int fd_;
    bool connected_ = false;
};

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
