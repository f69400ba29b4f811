// Serving beyond this machine: refused without users, and HTTPS when certificate and key are
// given.
#include "TestDatabase.h"
#include "appserver/AppServer.h"
#include "appserver/EmbeddedServer.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <httplib.h>

using namespace pla;

namespace {

TEST(OffLoopback, ListeningOnTheNetworkWithoutUsersIsRefused) {
    test::ensureApplication();
    QTemporaryDir dir;
    ServerOptions o;
    o.host = QStringLiteral("0.0.0.0");
    o.port = 0;
    o.noTls = true;
    o.database = dir.filePath(QStringLiteral("rede.sqlite"));
    AppServer server(o);
    try {
        server.prepare();
        FAIL() << "aceitou escutar na rede sem usuários";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("exige usuários cadastrados"), std::string::npos)
            << e.what();
    }
}

// Starts `server` on loopback over HTTPS with the test certificate; returns its port.
int startHttps(EmbeddedServer& server, const QTemporaryDir& dir) {
    test::ensureApplication();
    ServerOptions o;
    o.port = 0;
    o.database = dir.filePath(QStringLiteral("tls.sqlite"));
    o.tlsCertificate = QStringLiteral(PLA_TEST_TLS_DIR "/cert.pem");
    o.tlsKey = QStringLiteral(PLA_TEST_TLS_DIR "/key.pem");
    return server.start(o);
}

TEST(OffLoopback, CertificateAndKeyMakeTheServerSpeakHttps) {
    QTemporaryDir dir;
    EmbeddedServer server;
    const int port = startHttps(server, dir);
    httplib::Client client("https://127.0.0.1:" + std::to_string(port));
    client.set_ca_cert_path(PLA_TEST_TLS_DIR "/cert.pem");
    const auto r =
        client.Post("/PLA15400.rdmDistEmbCard",
                    R"({"jsonrpc":"2.0","id":1,"method":"GetGruposServico"})", "application/json");
    ASSERT_TRUE(r) << httplib::to_string(r.error());
    EXPECT_EQ(r->status, 200);
    EXPECT_NE(r->body.find("\"ok\":true"), std::string::npos) << r->body;
}

// What the server offers over TLS, as a client sees it: versions, key exchanges and whose order
// of suites wins. Probed with GnuTLS's own client, and with testssl.sh where installed.
TEST(OffLoopback, TlsOffersOnlyModernForwardSecretSuitesInTheServersOrder) {
    const QString gnutls = QStandardPaths::findExecutable(QStringLiteral("gnutls-cli"));
    if (gnutls.isEmpty()) GTEST_SKIP() << "gnutls-cli não instalado (pacote gnutls-bin)";
    QTemporaryDir dir;
    EmbeddedServer server;
    const QString port = QString::number(startHttps(server, dir));
    // The handshake's outcome and what the client printed about it.
    auto handshake = [&](const char* priority) {
        QProcess p;
        p.start(gnutls, {QStringLiteral("--insecure"), QStringLiteral("--priority"),
                         QString::fromLatin1(priority), QStringLiteral("-p"), port,
                         QStringLiteral("127.0.0.1")});
        p.closeWriteChannel();
        p.waitForFinished(10000);
        return std::make_pair(p.exitCode() == 0, QString::fromUtf8(p.readAll()));
    };
    const struct {
        const char* priority;
        bool accepted;
    } cases[] = {
        {"NORMAL:-VERS-ALL:+VERS-TLS1.3", true},
        {"NORMAL:-VERS-ALL:+VERS-TLS1.2", true},
        {"NORMAL:-VERS-ALL:+VERS-TLS1.1:+VERS-TLS1.0", false},
        {"NORMAL:-VERS-ALL:+VERS-TLS1.2:-KX-ALL:+RSA", false},
        {"NORMAL:-VERS-ALL:+VERS-TLS1.2:-CIPHER-ALL:+AES-128-CBC:+AES-256-CBC", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handshake(c.priority).first, c.accepted) << c.priority;
    // The client prefers AES-128; the server's own order puts AES-256 first.
    const auto chosen =
        handshake("NORMAL:-VERS-ALL:+VERS-TLS1.2:-CIPHER-ALL:+AES-128-GCM:+AES-256-GCM");
    EXPECT_TRUE(chosen.second.contains(QStringLiteral("AES-256-GCM")))
        << chosen.second.toStdString();

    const QString testssl = QStandardPaths::findExecutable(QStringLiteral("testssl"));
    if (testssl.isEmpty()) return;
    QProcess t;
    t.start(testssl, {QStringLiteral("--quiet"), QStringLiteral("--color"), QStringLiteral("0"),
                      QStringLiteral("--protocols"), QStringLiteral("--server-preference"),
                      QStringLiteral("127.0.0.1:") + port});
    ASSERT_TRUE(t.waitForFinished(120000));
    const QString report = QString::fromUtf8(t.readAll());
    for (const char* line :
         {"TLS 1      not offered", "TLS 1.1    not offered", "TLS 1.2    offered",
          "TLS 1.3    offered", "Has server cipher order?     yes"})
        EXPECT_TRUE(report.contains(QString::fromLatin1(line))) << line << "\n"
                                                                << report.toStdString();
}

} // namespace
