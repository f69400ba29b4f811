#pragma once

#include "appserver/http/RequestContext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace pla {

// The HTTP side of the server: POST /PLA15400.rdmDistEmbCard carries JSON-RPC bodies, GET
// /health says whether the database answers. One event-driven thread holds every connection,
// so idle or slow clients cost a socket and no thread; a fixed pool of workers runs the calls.
// Every phase of a request has a deadline for the whole phase (not per read): the wait for a
// request on a kept-alive connection, its headers, its body and the sending of the answer.
// Connections beyond the cap are answered 503 and closed. Optionally HTTPS.
class HttpEndpoint {
public:
    struct Limits {
        int threads = 16;
        std::size_t maxBodyBytes = 16u * 1024u * 1024u;
        int maxHeaders = 100;
        std::size_t maxHeaderBytes = 64u * 1024u;
        int maxConnections = 4096;
        int headerTimeoutSeconds = 10;
        int bodyTimeoutSeconds = 10;
        int writeTimeoutSeconds = 10;
        int keepAliveSeconds = 30;
        // Origin headers a request may carry; a request with any other Origin is refused.
        QStringList allowedOrigins;
    };
    // PEM texts of the certificate chain and private key; both empty for plain HTTP.
    struct Tls {
        QByteArray certificate;
        QByteArray key;
        // GnuTLS priority string: which versions and suites are offered, in the server's order;
        // empty for kTlsPriorities.
        QByteArray priorities;
    };
    // TLS 1.2 and 1.3 only, forward-secret key exchange only (ECDHE; no static RSA, whose
    // recorded traffic a stolen key would open), authenticated encryption only, and the
    // server's order of preference rather than the client's.
    static constexpr const char* kTlsPriorities =
        "SECURE128:-VERS-ALL:+VERS-TLS1.3:+VERS-TLS1.2:-RSA:-DHE-RSA:-AES-128-CBC:-AES-256-CBC:"
        "-SHA1:%SERVER_PRECEDENCE";
    // Answers one request body; an empty answer means "nothing to send" (204). Runs on a
    // worker thread.
    using Handler = std::function<QByteArray(const QByteArray& body, const RequestContext&)>;
    // True when the server can do its work (the database answers); false makes /health 503.
    // Runs on a worker thread, which owns its database connection.
    using HealthCheck = std::function<bool()>;

    HttpEndpoint(Handler handler, HealthCheck health, Limits limits, Tls tls = {});
    ~HttpEndpoint();
    HttpEndpoint(const HttpEndpoint&) = delete;
    HttpEndpoint& operator=(const HttpEndpoint&) = delete;

    // Binds to host:port (port 0 picks a free one) and starts taking connections; returns the
    // port, or -1 when the address cannot be used or the TLS certificate or key is refused.
    int bind(const QString& host, int port);
    // Serves until stop(); false when nothing is bound. Every worker thread has ended when it
    // returns.
    bool serve();
    // Asks serve() to return; safe from any thread, also before serve() started. Requests in
    // progress finish and are answered; connections idle between requests close at once.
    void stop();
    // True while serve() accepts connections.
    bool isRunning() const;

    static const char* rpcPath();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace pla
