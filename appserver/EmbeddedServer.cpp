#include "appserver/EmbeddedServer.h"

#include "appserver/AppServer.h"

#include <chrono>
#include <stdexcept>

namespace pla {

EmbeddedServer::EmbeddedServer() = default;

EmbeddedServer::~EmbeddedServer() {
    stop();
}

int EmbeddedServer::start(const QString& database, bool demo, const QDate& today) {
    ServerOptions o;
    o.host = QStringLiteral("127.0.0.1");
    o.port = 0;
    o.database = database;
    o.demo = demo;
    o.today = today;
    return start(o);
}

int EmbeddedServer::start(const ServerOptions& options) {
    stop();
    auto server = std::make_unique<AppServer>(options);
    server->prepare();
    const int port = server->bind();
    AppServer* s = server.get();
    server_ = std::move(server);
    thread_ = std::thread([s] { s->serve(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server_->isRunning()) {
        if (std::chrono::steady_clock::now() > deadline) {
            stop();
            throw std::runtime_error("O servidor de aplicação embutido não começou a atender.");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    port_ = port;
    return port;
}

void EmbeddedServer::stop() {
    if (server_) server_->stop();
    if (thread_.joinable()) thread_.join();
    server_.reset();
    port_ = 0;
}

bool EmbeddedServer::isRunning() const {
    return server_ && server_->isRunning();
}

} // namespace pla
