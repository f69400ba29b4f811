// The HTTP endpoint on its own, over raw sockets: what it refuses and how, pipelining, the
// deadlines of a request's phases, the connection cap and the health answer.
#include "TestSockets.h"
#include "appserver/http/HttpEndpoint.h"

#include <QByteArray>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <zlib.h>

using namespace pla;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kPath = "/PLA15400.rdmDistEmbCard";
constexpr std::size_t kMaxBody = 64 * 1024;

std::string gzip(const std::string& text) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, text.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string post(const std::string& headers, const std::string& body) {
    return "POST " + kPath + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string json(const std::string& body, const std::string& extra = {}) {
    return post("Content-Type: application/json\r\n" + extra, body);
}

std::string chunked(const std::string& body) {
    std::string request = "POST " + kPath +
                          " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
                          "Transfer-Encoding: chunked\r\n\r\n";
    for (size_t at = 0; at < body.size(); at += 8192) {
        const std::string piece = body.substr(at, 8192);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
        request += size + piece + "\r\n";
    }
    return request + "0\r\n\r\n";
}

class HttpEndpointTest : public ::testing::Test {
protected:
    void start(HttpEndpoint::Limits limits = {}) {
        limits.maxBodyBytes = kMaxBody;
        endpoint_ = std::make_unique<HttpEndpoint>(
            // Echoes the body, so a test sees what the endpoint decoded.
            [](const QByteArray& body, const RequestContext&) { return body; },
            [this] { return !databaseDown_; }, limits);
        port_ = endpoint_->bind(QStringLiteral("127.0.0.1"), 0);
        ASSERT_GT(port_, 0);
        thread_ = std::thread([this] { endpoint_->serve(); });
    }
    void TearDown() override {
        if (!endpoint_) return;
        endpoint_->stop();
        thread_.join();
    }
    // The whole exchange of `request` on a fresh connection.
    std::string exchange(const std::string& request, int answers = 1) {
        test::RawConnection c(port_);
        EXPECT_TRUE(c.send(request));
        return c.readAnswers(answers, 5s);
    }

    std::unique_ptr<HttpEndpoint> endpoint_;
    std::thread thread_;
    std::atomic<bool> databaseDown_{false};
    int port_ = 0;
};

TEST_F(HttpEndpointTest, RefusesWhatCouldBypassTheLimitsOrComeFromAWebPage) {
    start();
    const std::string big(kMaxBody + 1, ' ');
    const struct {
        const char* rule;
        std::string request;
        const char* answer;
    } cases[] = {
        {"chunked body over the limit", chunked(big), "HTTP/1.1 413"},
        {"gzip body that expands past the limit",
         json(gzip(std::string(20 * kMaxBody, ' ')), "Content-Encoding: gzip\r\n"), "HTTP/1.1 413"},
        {"two lengths", json("{}", "Content-Length: 2\r\n"), "HTTP/1.1 400"},
        {"too many headers",
         json("{}",
              [] {
                  std::string h;
                  for (int i = 0; i < 150; ++i)
                      h += "X-" + std::to_string(i) + ": 1\r\n";
                  return h;
              }()),
         "HTTP/1.1 431"},
        {"headers too large", json("{}", "X-Big: " + std::string(100 * 1024, 'a') + "\r\n"),
         "HTTP/1.1 431"},
        {"not JSON", post("Content-Type: application/x-www-form-urlencoded\r\n", "a=1"),
         "HTTP/1.1 415"},
        {"foreign origin", json("{}", "Origin: http://pagina.example\r\n"), "HTTP/1.1 403"},
        {"other method", "GET " + kPath + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", "HTTP/1.1 405"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exchange(c.request).rfind(c.answer, 0), 0u) << c.rule;
    EXPECT_NE(exchange(cases[7].request).find("Allow: POST\r\n"), std::string::npos);
    // A compressed body within the limit is decoded before the call sees it.
    const std::string small(1000, 'x');
    const std::string answer = exchange(json(gzip(small), "Content-Encoding: gzip\r\n"));
    EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u);
    EXPECT_EQ(answer.substr(answer.size() - small.size()), small);
}

TEST_F(HttpEndpointTest, PipelinedRequestsAreAnsweredInOrder) {
    start();
    const std::string answers = exchange(json("primeira") + json("segunda") + json("terceira"), 3);
    const size_t first = answers.find("primeira");
    const size_t second = answers.find("segunda");
    const size_t third = answers.find("terceira");
    ASSERT_NE(third, std::string::npos) << answers;
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
}

TEST_F(HttpEndpointTest, AHeaderOrBodyTrickledPastItsDeadlineEndsTheConnection) {
    HttpEndpoint::Limits limits;
    limits.headerTimeoutSeconds = 1;
    limits.bodyTimeoutSeconds = 1;
    start(limits);
    const struct {
        const char* phase;
        std::string start;
        std::string trickle;
    } cases[] = {
        {"headers", "POST " + kPath + " HTTP/1.1\r\n", "X-Lento: " + std::string(40, 'a')},
        {"body", json(std::string(40, ' ')).substr(0, json(std::string(40, ' ')).size() - 40),
         std::string(40, ' ')},
    };
    for (const auto& c : cases) {
        test::RawConnection slow(port_);
        ASSERT_TRUE(slow.send(c.start));
        const auto began = Clock::now();
        bool closed = false;
        // One byte every 100 ms: never idle, never done within the deadline.
        for (size_t i = 0; i < c.trickle.size() && !closed; ++i)
            closed = !slow.send(c.trickle.substr(i, 1)) || slow.closedWithin(100ms);
        EXPECT_TRUE(closed) << c.phase;
        EXPECT_LT(Clock::now() - began, 2s) << c.phase;
    }
}

TEST_F(HttpEndpointTest, ConnectionsBeyondTheCapAreToldTheServerIsBusy) {
    HttpEndpoint::Limits limits;
    limits.maxConnections = 3;
    start(limits);
    std::vector<test::RawConnection> open = test::idleConnections(port_, 3);
    open.front().readAnswers(1, 2s);
    const std::string busy = exchange(json("{}"));
    EXPECT_EQ(busy.rfind("HTTP/1.1 503", 0), 0u) << busy;
    EXPECT_NE(busy.find("limite de 3 conexões"), std::string::npos) << busy;
    open.clear();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(exchange(json("{}")).rfind("HTTP/1.1 200", 0), 0u);
}

TEST_F(HttpEndpointTest, HealthSaysWhetherTheDatabaseAnswers) {
    start();
    const std::string health = "GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    EXPECT_EQ(exchange(health).rfind("HTTP/1.1 200", 0), 0u);
    databaseDown_ = true;
    const std::string down = exchange(health);
    EXPECT_EQ(down.rfind("HTTP/1.1 503", 0), 0u) << down;
    EXPECT_NE(down.find("O banco de dados não responde."), std::string::npos) << down;
}

} // namespace
