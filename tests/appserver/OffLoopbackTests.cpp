// Serving beyond this machine: refused without users, and HTTPS when certificate and key are
// given.
#include "TestDatabase.h"
#include "appserver/AppServer.h"
#include "appserver/EmbeddedServer.h"

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

TEST(OffLoopback, CertificateAndKeyMakeTheServerSpeakHttps) {
    test::ensureApplication();
    QTemporaryDir dir;
    ServerOptions o;
    o.port = 0;
    o.database = dir.filePath(QStringLiteral("tls.sqlite"));
    o.tlsCertificate = QStringLiteral(PLA_TEST_TLS_DIR "/cert.pem");
    o.tlsKey = QStringLiteral(PLA_TEST_TLS_DIR "/key.pem");
    EmbeddedServer server;
    const int port = server.start(o);
    httplib::Client client("https://127.0.0.1:" + std::to_string(port));
    client.set_ca_cert_path(PLA_TEST_TLS_DIR "/cert.pem");
    const auto r =
        client.Post("/PLA15400.rdmDistEmbCard",
                    R"({"jsonrpc":"2.0","id":1,"method":"GetGruposServico"})", "application/json");
    ASSERT_TRUE(r) << httplib::to_string(r.error());
    EXPECT_EQ(r->status, 200);
    EXPECT_NE(r->body.find("\"ok\":true"), std::string::npos) << r->body;
}

} // namespace
