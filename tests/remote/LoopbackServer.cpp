#include "tests/remote/LoopbackServer.h"

#include "host/scenario/FixtureServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <httplib.h>
#include <stdexcept>

namespace pla::test {

LoopbackServer::LoopbackServer(const QByteArray& fixtureJson)
    : fixture_(std::make_unique<FixtureServer>(fixtureJson)) {}

LoopbackServer::~LoopbackServer() {
    Stop();
}

int LoopbackServer::Start(int port) {
    if (server_) return port_;
    server_ = std::make_unique<httplib::Server>();
    server_->set_tcp_nodelay(true);
    server_->Post(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
        const QByteArray body = QByteArray::fromStdString(req.body);
        const QJsonObject call = QJsonDocument::fromJson(body).object();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back({call.value(QStringLiteral("method")).toString(),
                                 call.value(QStringLiteral("params")).toArray()});
        }
        res.set_content(fixture_->Handle(body).toStdString(), "application/json");
    });
    if (port > 0) {
        if (!server_->bind_to_port("127.0.0.1", port)) {
            server_.reset();
            throw std::runtime_error("porta local ocupada");
        }
        port_ = port;
    } else {
        port_ = server_->bind_to_any_port("127.0.0.1");
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running())
        std::this_thread::yield();
    return port_;
}

void LoopbackServer::Stop() {
    if (!server_) return;
    server_->stop();
    if (thread_.joinable()) thread_.join();
    server_.reset();
}

QVector<LoopbackServer::Request> LoopbackServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

int LoopbackServer::Count(const QString& method) const {
    int n = 0;
    for (const Request& r : Requests())
        n += r.method == method ? 1 : 0;
    return n;
}

QVector<QJsonArray> LoopbackServer::Params(const QString& method) const {
    QVector<QJsonArray> out;
    for (const Request& r : Requests())
        if (r.method == method) out.push_back(r.params);
    return out;
}

void LoopbackServer::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
}

} // namespace pla::test
