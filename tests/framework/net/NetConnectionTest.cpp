#include "framework/net/NetConnection.h"

#include "framework/net/JsonRpc.h"
#include "framework/net/NetConnectionError.h"
#include "framework/net/RemoteCallLog.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const char* const kPath = "/PLA15400.rdmDistEmbCard";

// A real HTTP server on a loopback port, running on its own thread for one test.
class LoopbackServer {
public:
    LoopbackServer() {
        server.set_tcp_nodelay(true);
        server.set_keep_alive_max_count(1000);
    }
    ~LoopbackServer() {
        server.stop();
        if (thread_.joinable()) thread_.join();
    }
    void Start() {
        port = server.bind_to_any_port("127.0.0.1");
        ASSERT_GT(port, 0);
        thread_ = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::sleep_for(1ms);
    }
    // Answers every call with the JSON-RPC result built by make(request).
    void AnswerWith(std::function<QJsonValue(const pla::JsonRpc::Request&)> make) {
        server.Post(kPath, [make](const httplib::Request& req, httplib::Response& res) {
            const auto p = pla::JsonRpc::ParseRequest(QByteArray::fromStdString(req.body));
            const QByteArray out = p.IsValid()
                                       ? pla::JsonRpc::EncodeResult(p.request.id, make(p.request))
                                       : p.ErrorResponse();
            res.set_content(out.toStdString(), "application/json");
        });
    }

    httplib::Server server;
    int port = 0;

private:
    std::thread thread_;
};

// A loopback port that nobody listens on.
int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

QJsonObject Ok(const QJsonValue& data) {
    return QJsonObject{{"ok", true}, {"data", data}};
}

// The failure envelope's message, or a note that the value was not one.
QString FailureText(const QJsonValue& v) {
    const QJsonObject o = v.toObject();
    if (o.value("ok") != QJsonValue(false) || !o.value("message").isString())
        return QStringLiteral("<not a failure envelope: %1>")
            .arg(QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact)));
    return o.value("message").toString();
}

class NetConnectionTest : public ::testing::Test {
protected:
    void Point(TNetConnection& c, int port) {
        c.Host = QStringLiteral("127.0.0.1");
        c.Port = port;
    }
    QString Address(int port) const { return QStringLiteral("127.0.0.1:%1").arg(port); }

    LoopbackServer srv;
};

} // namespace

TEST_F(NetConnectionTest, RoundTripSendsTheExactRequestAndReturnsTheRawResult) {
    std::string body, contentType;
    std::vector<int> clientPorts;
    srv.server.Post(kPath, [&](const httplib::Request& req, httplib::Response& res) {
        body = req.body;
        contentType = req.get_header_value("Content-Type");
        clientPorts.push_back(req.remote_port);
        const auto p = pla::JsonRpc::ParseRequest(QByteArray::fromStdString(req.body));
        res.set_content(
            pla::JsonRpc::EncodeResult(p.request.id, Ok(p.request.params)).toStdString(),
            "application/json");
    });
    srv.Start();

    TNetConnection c(QStringLiteral("netDistEmbCard"));
    int beforeConnect = 0;
    c.BeforeConnect = [&](TNetConnection& self) {
        ++beforeConnect;
        Point(self, srv.port);
    };
    c.Connect();
    c.Connect();
    EXPECT_EQ(beforeConnect, 1);
    EXPECT_TRUE(c.Connected());

    const QJsonArray params{QStringLiteral("0001"), QStringLiteral("2026-12-08")};
    const QJsonValue r = c.Call(QStringLiteral("GetServicos"), params);
    EXPECT_EQ(body,
              R"({"jsonrpc":"2.0","id":1,"method":"GetServicos","params":["0001","2026-12-08"]})");
    EXPECT_EQ(contentType, "application/json");
    EXPECT_EQ(r, QJsonValue(Ok(params)));
    EXPECT_TRUE(c.LastFailure().isEmpty());

    // Texts with accents and quotes, numbers and null travel unchanged; ids advance.
    const QJsonArray tricky{QStringLiteral("Sábado \"x\""), 1.25, QJsonValue(), 3};
    EXPECT_EQ(c.Call(QStringLiteral("SetDistribuicao"), tricky), QJsonValue(Ok(tricky)));
    EXPECT_NE(body.find(R"("id":2)"), std::string::npos);

    // Both calls went over one kept-alive TCP connection.
    ASSERT_EQ(clientPorts.size(), 2u);
    EXPECT_EQ(clientPorts[0], clientPorts[1]);

    c.Disconnect();
    EXPECT_FALSE(c.Connected());
    c.Disconnect();
    // A call on a disconnected connection connects again first.
    EXPECT_EQ(c.Call(QStringLiteral("GetGruposServico")), QJsonValue(Ok(QJsonArray{})));
    EXPECT_EQ(beforeConnect, 2);
    EXPECT_TRUE(c.Connected());
}

TEST_F(NetConnectionTest, RefusedConnectionIsAFailureNamingTheAddress) {
    const int port = ClosedPort();
    TNetConnection c;
    Point(c, port);
    const QString m = FailureText(c.Call(QStringLiteral("GetServicos"), {QStringLiteral("0001")}));
    EXPECT_TRUE(m.contains(Address(port))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("recusada"))) << m.toStdString();
    EXPECT_EQ(c.LastFailure(), m);
}

TEST_F(NetConnectionTest, MissingAddressIsAFailureNotACrash) {
    TNetConnection c;
    const QString m = FailureText(c.Call(QStringLiteral("GetServicos")));
    EXPECT_TRUE(m.contains(QStringLiteral("não está configurado"))) << m.toStdString();
}

TEST_F(NetConnectionTest, StalledServerTimesOutAndALateAnswerNeverReachesTheNextCall) {
    std::atomic<int> n{0};
    srv.server.Post(kPath, [&](const httplib::Request& req, httplib::Response& res) {
        const auto p = pla::JsonRpc::ParseRequest(QByteArray::fromStdString(req.body));
        if (n++ == 0) std::this_thread::sleep_for(700ms);
        res.set_content(
            pla::JsonRpc::EncodeResult(p.request.id, Ok(p.request.method)).toStdString(),
            "application/json");
    });
    srv.Start();

    TNetConnection c;
    Point(c, srv.port);
    c.SetReadTimeout(200ms);
    const auto t0 = std::chrono::steady_clock::now();
    const QString m = FailureText(c.Call(QStringLiteral("GetDistribuicao")));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 650ms);
    EXPECT_TRUE(m.contains(Address(srv.port))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("não respondeu"))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("0,2 segundos"))) << m.toStdString();

    std::this_thread::sleep_for(600ms);
    c.SetReadTimeout(5s);
    EXPECT_EQ(c.Call(QStringLiteral("GetServicos")), QJsonValue(Ok(QStringLiteral("GetServicos"))));
}

TEST_F(NetConnectionTest, GarbageAndForeignAnswersAreFailures) {
    std::atomic<int> n{0};
    srv.server.Post(kPath, [&](const httplib::Request& req, httplib::Response& res) {
        switch (n++) {
        case 0:
            res.set_content("<html>Bad gateway</html>", "text/html");
            break;
        case 1:
            res.set_content(R"({"jsonrpc":"2.0","id":99,"result":{"ok":true,"data":1}})",
                            "application/json");
            break;
        default:
            res.status = 503;
            res.set_content("indisponível", "text/plain");
        }
    });
    srv.Start();

    TNetConnection c;
    Point(c, srv.port);
    QString m = FailureText(c.Call(QStringLiteral("GetServicos")));
    EXPECT_TRUE(m.contains(QStringLiteral("resposta inválida"))) << m.toStdString();
    EXPECT_TRUE(m.contains(Address(srv.port))) << m.toStdString();

    m = FailureText(c.Call(QStringLiteral("GetServicos")));
    EXPECT_TRUE(m.contains(QStringLiteral("não corresponde"))) << m.toStdString();

    m = FailureText(c.Call(QStringLiteral("GetServicos")));
    EXPECT_TRUE(m.contains(QStringLiteral("HTTP 503"))) << m.toStdString();
}

TEST_F(NetConnectionTest, OversizedAnswersAreRefusedWithOrWithoutALength) {
    std::atomic<int> n{0};
    srv.server.Post(kPath, [&](const httplib::Request& req, httplib::Response& res) {
        const auto p = pla::JsonRpc::ParseRequest(QByteArray::fromStdString(req.body));
        const QJsonValue data = p.request.method == QLatin1String("Big")
                                    ? QJsonValue(QString(4096, QLatin1Char('x')))
                                    : QJsonValue(QStringLiteral("small"));
        const std::string out = pla::JsonRpc::EncodeResult(p.request.id, Ok(data)).toStdString();
        if (n++ % 2 == 0) {
            res.set_content(out, "application/json");
        } else {
            res.set_chunked_content_provider("application/json",
                                             [out](size_t, httplib::DataSink& sink) {
                                                 sink.write(out.data(), out.size());
                                                 sink.done();
                                                 return true;
                                             });
        }
    });
    srv.Start();

    TNetConnection c;
    Point(c, srv.port);
    c.SetMaxAnswerBytes(1024);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i == 0 ? "with Content-Length" : "chunked");
        const QString m = FailureText(c.Call(QStringLiteral("Big")));
        EXPECT_TRUE(m.contains(QStringLiteral("excede"))) << m.toStdString();
        EXPECT_TRUE(m.contains(Address(srv.port))) << m.toStdString();
    }
    // The connection recovers for answers within the limit.
    EXPECT_EQ(c.Call(QStringLiteral("Small")), QJsonValue(Ok(QStringLiteral("small"))));
    EXPECT_EQ(c.Call(QStringLiteral("Small")), QJsonValue(Ok(QStringLiteral("small"))));
}

TEST_F(NetConnectionTest, JsonRpcErrorsAreShownWithTheServersText) {
    srv.server.Post(kPath, [&](const httplib::Request& req, httplib::Response& res) {
        const auto p = pla::JsonRpc::ParseRequest(QByteArray::fromStdString(req.body));
        res.status = p.request.method == QLatin1String("Crash") ? 500 : 200;
        res.set_content(pla::JsonRpc::EncodeError(
                            p.request.id,
                            p.request.method == QLatin1String("Crash")
                                ? pla::JsonRpc::InternalError
                                : pla::JsonRpc::MethodNotFound,
                            QStringLiteral("Método não encontrado: %1").arg(p.request.method))
                            .toStdString(),
                        "application/json");
    });
    srv.Start();

    TNetConnection c;
    Point(c, srv.port);
    QString m = FailureText(c.Call(QStringLiteral("GetXyz")));
    EXPECT_TRUE(m.contains(QStringLiteral("Método não encontrado: GetXyz"))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("-32601"))) << m.toStdString();
    EXPECT_TRUE(m.contains(Address(srv.port))) << m.toStdString();
    // An error object sent with an HTTP error status still shows the server's own text.
    m = FailureText(c.Call(QStringLiteral("Crash")));
    EXPECT_TRUE(m.contains(QStringLiteral("-32603"))) << m.toStdString();
}

TEST_F(NetConnectionTest, ThrowExceptionRaisesTheSameText) {
    const int port = ClosedPort();
    TNetConnection c;
    Point(c, port);
    c.ThrowException = true;
    try {
        c.Call(QStringLiteral("GetServicos"));
        FAIL() << "no exception";
    } catch (const ENetConnectionError& e) {
        EXPECT_TRUE(e.Message().contains(Address(port)));
        EXPECT_EQ(e.Message(), c.LastFailure());
    }
}

TEST_F(NetConnectionTest, ReconnectsAfterTheServerDroppedAnIdleConnection) {
    srv.server.set_keep_alive_timeout(1);
    srv.AnswerWith([](const pla::JsonRpc::Request& r) { return Ok(r.method); });
    srv.Start();
    TNetConnection c;
    Point(c, srv.port);
    EXPECT_EQ(c.Call(QStringLiteral("A")), QJsonValue(Ok(QStringLiteral("A"))));
    std::this_thread::sleep_for(1300ms);
    EXPECT_EQ(c.Call(QStringLiteral("B")), QJsonValue(Ok(QStringLiteral("B"))));
}

TEST_F(NetConnectionTest, ObserversSeeEveryCallEvenFailedOnes) {
    const int port = ClosedPort();
    TNetConnection c;
    Point(c, port);
    pla::RemoteCallLog own, global;
    const int ownId =
        c.AddCallObserver([&](const QString& m, const QJsonArray& p) { own.Record(m, p); });
    const int globalId = TNetConnection::AddGlobalCallObserver(
        [&](const QString& m, const QJsonArray& p) { global.Record(m, p); });

    c.Call(QStringLiteral("GetServicos"), {QStringLiteral("0001")});
    c.Call(QStringLiteral("GetServicos"), {QStringLiteral("0002")});
    TNetConnection other;
    Point(other, port);
    other.Call(QStringLiteral("ApagaDistribuicao"), {12.0});

    EXPECT_EQ(own.Count(QStringLiteral("GetServicos")), 2);
    EXPECT_EQ(own.Total(), 2);
    EXPECT_EQ(global.Total(), 3);
    EXPECT_EQ(global.Count(QStringLiteral("ApagaDistribuicao")), 1);
    ASSERT_EQ(own.Params(QStringLiteral("GetServicos")).size(), 2);
    EXPECT_EQ(own.Params(QStringLiteral("GetServicos"))[1], QJsonArray{QStringLiteral("0002")});

    c.RemoveCallObserver(ownId);
    TNetConnection::RemoveGlobalCallObserver(globalId);
    c.Call(QStringLiteral("GetServicos"));
    EXPECT_EQ(own.Total(), 2);
    EXPECT_EQ(global.Total(), 3);
    own.Reset();
    EXPECT_EQ(own.Count(QStringLiteral("GetServicos")), 0);
}

TEST(NetConnectionTls, AnHttpsHostIsReachedOverTlsAndAnUntrustedCertificateRefused) {
    httplib::SSLServer server(PLA_TEST_TLS_DIR "/cert.pem", PLA_TEST_TLS_DIR "/key.pem");
    server.Post(kPath, [](const httplib::Request& req, httplib::Response& res) {
        const auto p = pla::JsonRpc::ParseRequest(QByteArray::fromStdString(req.body));
        res.set_content(pla::JsonRpc::EncodeResult(p.request.id, Ok("seguro")).toStdString(),
                        "application/json");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(1ms);

    TNetConnection c;
    c.Host = QStringLiteral("https://127.0.0.1");
    c.Port = port;
    // Not among the system's trusted authorities: refused, naming the address.
    const QString refused = FailureText(c.Call(QStringLiteral("GetGruposServico")));
    EXPECT_TRUE(refused.contains(QStringLiteral("https://127.0.0.1:%1").arg(port)))
        << refused.toStdString();
    // OpenSSL takes its trusted authorities from here when the connection is set up.
    ::setenv("SSL_CERT_FILE", PLA_TEST_TLS_DIR "/cert.pem", 1);
    c.Disconnect();
    const QJsonValue trusted = c.Call(QStringLiteral("GetGruposServico"));
    ::unsetenv("SSL_CERT_FILE");
    EXPECT_EQ(trusted.toObject().value("data").toString(), QStringLiteral("seguro"))
        << FailureText(trusted).toStdString();
    c.Disconnect(); // the server's stop waits for kept-alive connections
    server.stop();
    thread.join();
}
