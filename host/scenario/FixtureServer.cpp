#include "host/scenario/FixtureServer.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <httplib.h>

#include <stdexcept>
#include <thread>

namespace pla {

namespace {

QJsonObject rpcError(const QJsonValue& id, int code, const QString& message) {
    return QJsonObject{{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                       {QStringLiteral("id"), id},
                       {QStringLiteral("error"), QJsonObject{{QStringLiteral("code"), code},
                                                             {QStringLiteral("message"), message}}}};
}

} // namespace

FixtureServer::FixtureServer(const QByteArray& fixtureJson) {
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(fixtureJson, &err);
    if (err.error != QJsonParseError::NoError)
        throw std::runtime_error(QStringLiteral("JSON inválido na posição %1: %2")
                                     .arg(err.offset)
                                     .arg(err.errorString())
                                     .toStdString());
    if (!doc.isObject())
        throw std::runtime_error("o fixture deve ser um objeto JSON");
    const QJsonObject root = doc.object();
    const QJsonValue methods = root.value(QStringLiteral("methods"));
    if (!methods.isUndefined() && !methods.isObject())
        throw std::runtime_error("\"methods\" deve ser um objeto");
    methods_ = methods.toObject();
    for (auto it = methods_.begin(); it != methods_.end(); ++it) {
        if (!it.value().isArray())
            throw std::runtime_error(
                QStringLiteral("\"methods.%1\" deve ser uma lista").arg(it.key()).toStdString());
        for (const QJsonValue& entry : it.value().toArray()) {
            const QJsonObject e = entry.toObject();
            if (!entry.isObject() || !e.contains(QStringLiteral("result")))
                throw std::runtime_error(QStringLiteral("entrada de \"%1\" sem \"result\"")
                                             .arg(it.key())
                                             .toStdString());
            if (e.contains(QStringLiteral("params")) && !e.value(QStringLiteral("params")).isArray())
                throw std::runtime_error(QStringLiteral("\"params\" de \"%1\" deve ser uma lista")
                                             .arg(it.key())
                                             .toStdString());
        }
    }
    const QJsonValue branches = root.value(QStringLiteral("branches"));
    if (!branches.isUndefined() && !branches.isArray())
        throw std::runtime_error("\"branches\" deve ser uma lista");
    branches_ = branches.toArray();
}

FixtureServer::~FixtureServer() { Stop(); }

QJsonValue FixtureServer::Answer(const QString& method, const QJsonArray& params) const {
    for (const QJsonValue& entry : methods_.value(method).toArray()) {
        const QJsonObject e = entry.toObject();
        if (!e.contains(QStringLiteral("params")) || e.value(QStringLiteral("params")).toArray() == params)
            return e.value(QStringLiteral("result"));
    }
    const QString shown = QString::fromUtf8(QJsonDocument(params).toJson(QJsonDocument::Compact));
    return QJsonObject{{QStringLiteral("ok"), false},
                       {QStringLiteral("message"),
                        QStringLiteral("sem resposta no fixture para %1 %2").arg(method, shown)}};
}

QByteArray FixtureServer::Handle(const QByteArray& body) const {
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &err);
    QJsonObject response;
    if (err.error != QJsonParseError::NoError) {
        response = rpcError(QJsonValue::Null, -32700, QStringLiteral("Parse error"));
    } else {
        const QJsonObject req = doc.object();
        const QJsonValue id = req.value(QStringLiteral("id"));
        const QJsonValue method = req.value(QStringLiteral("method"));
        const QJsonValue params = req.value(QStringLiteral("params"));
        if (!doc.isObject() || !method.isString() || (!params.isUndefined() && !params.isArray())) {
            response = rpcError(id, -32600, QStringLiteral("Invalid Request"));
        } else {
            response = QJsonObject{{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                                   {QStringLiteral("id"), id},
                                   {QStringLiteral("result"),
                                    Answer(method.toString(), params.toArray())}};
        }
    }
    return QJsonDocument(response).toJson(QJsonDocument::Compact);
}

int FixtureServer::Start() {
    if (server_) return port_;
    server_ = std::make_unique<httplib::Server>();
    server_->set_tcp_nodelay(true);
    server_->Post(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
        const QByteArray out = Handle(QByteArray::fromStdString(req.body));
        res.set_content(out.toStdString(), "application/json");
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        server_.reset();
        throw std::runtime_error("não foi possível abrir uma porta local para o fixture");
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::yield();
    return port_;
}

void FixtureServer::Stop() {
    if (!server_) return;
    server_->stop();
    if (thread_.joinable()) thread_.join();
    server_.reset();
}

} // namespace pla
