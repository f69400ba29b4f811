#include "appserver/HttpEndpoint.h"

#include "appserver/StoppableHttpServer.h"

#include <atomic>
#include <chrono>
#include <httplib.h>
#include <thread>

namespace pla {

struct HttpEndpoint::Impl {
    StoppableHttpServer server;
    Handler handler;
    HealthCheck healthy;
    Limits limits;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> serving{false};
};

const char* HttpEndpoint::rpcPath() {
    return "/PLA15400.rdmDistEmbCard";
}

HttpEndpoint::HttpEndpoint(Handler handler, Limits limits) : d_(std::make_unique<Impl>()) {
    d_->handler = std::move(handler);
    d_->limits = limits;
    StoppableHttpServer& s = d_->server;
    const int threads = std::max(1, limits.threads);
    s.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
    s.set_tcp_nodelay(true);
    s.set_keep_alive_max_count(1000000);
    s.set_keep_alive_timeout(limits.keepAliveSeconds);
    s.set_read_timeout(limits.readTimeoutSeconds, 0);
    s.set_write_timeout(limits.writeTimeoutSeconds, 0);
    s.set_payload_max_length(limits.maxBodyBytes);

    s.Post(rpcPath(), [this](const httplib::Request& req, httplib::Response& res) {
        const RequestContext context{
            QString::fromStdString(req.remote_addr),
            QByteArray::fromStdString(req.get_header_value("Authorization"))};
        const QByteArray answer = d_->handler(
            QByteArray::fromRawData(req.body.data(), static_cast<qsizetype>(req.body.size())),
            context);
        if (answer.isEmpty()) {
            res.status = 204;
            return;
        }
        res.set_content(answer.constData(), static_cast<size_t>(answer.size()),
                        "application/json; charset=utf-8");
    });
    s.Get("/health", [this](const httplib::Request&, httplib::Response& res) {
        if (d_->healthy && !d_->healthy()) {
            res.status = 503;
            res.set_content("banco de dados indisponível", "text/plain; charset=utf-8");
            return;
        }
        res.set_content("ok", "text/plain; charset=utf-8");
    });
}

void HttpEndpoint::setHealthCheck(HealthCheck check) {
    d_->healthy = std::move(check);
}

HttpEndpoint::~HttpEndpoint() {
    stop();
}

int HttpEndpoint::bind(const QString& host, int port) {
    const std::string h = host.toStdString();
    if (port == 0) return d_->server.bind_to_any_port(h);
    return d_->server.bind_to_port(h, port) ? port : -1;
}

bool HttpEndpoint::serve() {
    d_->serving = true;
    bool ok = true;
    if (!d_->stopRequested) ok = d_->server.listen_after_bind();
    d_->serving = false;
    return ok;
}

void HttpEndpoint::stop() {
    d_->stopRequested = true;
    // Idle kept-alive connections would otherwise hold the workers (and this stop) for the
    // whole keep-alive time.
    d_->server.closeConnections();
    // The listener only honours a stop once it runs: wait for it when serve() has begun.
    while (d_->serving) {
        if (d_->server.is_running()) {
            d_->server.stop();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool HttpEndpoint::isRunning() const {
    return d_->server.is_running();
}

} // namespace pla
