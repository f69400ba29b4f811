#pragma once

#include "appserver/RequestContext.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace pla {

// The HTTP side of the server: POST /PLA15400.rdmDistEmbCard carries JSON-RPC bodies,
// GET /health answers 200 while serving and the health check holds, 503 otherwise. Keep-alive
// and TCP_NODELAY on, a fixed pool of worker threads, limits on body size and socket time-outs.
class HttpEndpoint {
public:
    struct Limits {
        int threads = 16;
        std::size_t maxBodyBytes = 16u * 1024u * 1024u;
        int readTimeoutSeconds = 10;
        int writeTimeoutSeconds = 10;
        int keepAliveSeconds = 30;
    };
    // Answers one request body, knowing where it came from and its credentials; an empty
    // answer means "nothing to send" (204).
    using Handler =
        std::function<QByteArray(const QByteArray& body, const RequestContext& context)>;

    // True when the server can do its work (the database answers); false makes /health 503.
    using HealthCheck = std::function<bool()>;

    HttpEndpoint(Handler handler, Limits limits);
    // Set before serve().
    void setHealthCheck(HealthCheck check);
    ~HttpEndpoint();
    HttpEndpoint(const HttpEndpoint&) = delete;
    HttpEndpoint& operator=(const HttpEndpoint&) = delete;

    // Binds to host:port (port 0 picks a free one) and returns the port; -1 on failure.
    int bind(const QString& host, int port);
    // Serves until stop(); false when it could not serve. Every worker thread has ended when
    // it returns.
    bool serve();
    // Asks serve() to return; safe from any thread, also before serve() started. Requests in
    // progress finish; connections idle between requests close at once.
    void stop();
    // True while serve() accepts connections.
    bool isRunning() const;

    static const char* rpcPath();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace pla
