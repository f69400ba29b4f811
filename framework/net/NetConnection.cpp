#include "framework/net/NetConnection.h"

#include "framework/net/JsonRpc.h"
#include "framework/net/NetConnectionError.h"

#include <QJsonObject>
#include <QUrl>
#include <httplib.h>
#include <limits>
#include <string>

namespace {

std::map<int, TNetConnection::CallObserver>& GlobalObservers() {
    static std::map<int, TNetConnection::CallObserver> observers;
    return observers;
}

int& NextGlobalObserverId() {
    static int next = 1;
    return next;
}

QString Seconds(std::chrono::milliseconds t) {
    const double s = static_cast<double>(t.count()) / 1000.0;
    return QString::number(s, 'g', 6).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString& DefaultAuthorization() {
    static QString authorization;
    return authorization;
}

TNetConnection::TransportRunner& CurrentTransportRunner() {
    static TNetConnection::TransportRunner runner;
    return runner;
}

TNetConnection::SessionRenewal& CurrentSessionRenewal() {
    static TNetConnection::SessionRenewal renewal;
    return renewal;
}

} // namespace

using pla::JsonRpc;

// One keep-alive HTTP client bound to one host and port. A host written with its scheme
// ("https://servidor") is reached over TLS, with the server's certificate checked against the
// system's trusted authorities.
class TNetConnection::Transport {
public:
    Transport(const QString& host, int port) : host(host), port(port), client(Origin(host, port)) {
        client.set_keep_alive(true);
        client.set_tcp_nodelay(true);
        client.set_follow_location(false);
    }

    QString host;
    int port;
    httplib::Client client;

private:
    static std::string Origin(const QString& host, int port) {
        const bool schemed = host.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                             host.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
        return QStringLiteral("%1%2:%3")
            .arg(schemed ? QString() : QStringLiteral("http://"), host)
            .arg(port)
            .toStdString();
    }
};

TNetConnection::TNetConnection(const QString& name) : name_(name) {}

TNetConnection::~TNetConnection() = default;

void TNetConnection::Connect() {
    if (connected_) return;
    BeforeConnect(*this);
    connected_ = true;
}

void TNetConnection::Disconnect() {
    if (transport_) transport_->client.stop();
    transport_.reset();
    connected_ = false;
}

void TNetConnection::SetConnected(bool on) {
    if (on)
        Connect();
    else
        Disconnect();
}

void TNetConnection::SetConnectTimeout(std::chrono::milliseconds t) {
    connectTimeout_ = t;
}

void TNetConnection::SetReadTimeout(std::chrono::milliseconds t) {
    readTimeout_ = t;
}

void TNetConnection::SetMaxAnswerBytes(qint64 bytes) {
    maxAnswerBytes_ = bytes;
}

int TNetConnection::AddCallObserver(CallObserver observer) {
    const int id = nextObserverId_++;
    observers_.emplace(id, std::move(observer));
    return id;
}

void TNetConnection::RemoveCallObserver(int id) {
    observers_.erase(id);
}

int TNetConnection::AddGlobalCallObserver(CallObserver observer) {
    const int id = NextGlobalObserverId()++;
    GlobalObservers().emplace(id, std::move(observer));
    return id;
}

void TNetConnection::RemoveGlobalCallObserver(int id) {
    GlobalObservers().erase(id);
}

void TNetConnection::NotifyObservers(const QString& method, const QJsonArray& params) const {
    if (GlobalObservers().empty() && observers_.empty()) return;
    // Copies, so an observer may remove itself while being called.
    const auto global = GlobalObservers();
    for (const auto& [id, observer] : global)
        if (observer) observer(method, params);
    const auto own = observers_;
    for (const auto& [id, observer] : own)
        if (observer) observer(method, params);
}

QString TNetConnection::Address() const {
    return QStringLiteral("%1:%2")
        .arg(Host.isEmpty() ? QStringLiteral("(sem endereço)") : Host)
        .arg(Port);
}

QJsonValue TNetConnection::Fail(const QString& message) {
    lastFailure_ = message;
    if (ThrowException) throw ENetConnectionError(message);
    QJsonObject o;
    o.insert(QStringLiteral("ok"), false);
    o.insert(QStringLiteral("message"), message);
    return o;
}

QJsonValue TNetConnection::Call(const QString& method, const QJsonArray& params) {
    if (!connected_) Connect();
    NotifyObservers(method, params);
    lastFailure_.clear();
    Outcome outcome = Exchange(method, params);
    // A session the server no longer accepts (expired, ended by a password change) is renewed
    // in place and the call made once more, so the user keeps what he was doing.
    const SessionRenewal& renew = CurrentSessionRenewal();
    if (outcome.rpcError == kCredentialsRefused && Authorization.isEmpty() && renew &&
        renew(outcome.rpcMessage))
        outcome = Exchange(method, params);
    if (!outcome.failure.isEmpty()) return Fail(outcome.failure);
    return outcome.result;
}

TNetConnection::Outcome TNetConnection::Exchange(const QString& method, const QJsonArray& params) {
    const auto failed = [](const QString& message) { return Outcome{{}, message, 0, {}}; };
    const QString address = Address();
    if (Host.trimmed().isEmpty() || Port <= 0 || Port > 65535)
        return failed(QStringLiteral("O endereço do servidor de aplicação (%1) não está "
                                     "configurado corretamente; a chamada de %2 não foi feita.")
                          .arg(address, method));

    if (!transport_ || transport_->host != Host || transport_->port != Port)
        transport_ = std::make_unique<Transport>(Host, Port);
    httplib::Client& client = transport_->client;
    client.set_connection_timeout(connectTimeout_);
    client.set_read_timeout(readTimeout_);
    client.set_write_timeout(readTimeout_);

    const qint64 id = nextId_++;
    const QByteArray body = JsonRpc::EncodeRequest(id, method, params);

    httplib::Request req;
    req.method = "POST";
    if (pathFor_ != ServerName || path_.empty()) {
        pathFor_ = ServerName;
        path_ = "/" + QUrl::toPercentEncoding(ServerName, "._-~").toStdString();
    }
    req.path = path_;
    req.set_header("Content-Type", "application/json");
    req.set_header("Accept", "application/json");
    // Answers are read on a LAN or loopback; compressing them costs more than it saves.
    req.set_header("Accept-Encoding", "identity");
    const QString& authorization = Authorization.isEmpty() ? DefaultAuthorization() : Authorization;
    if (!authorization.isEmpty()) req.set_header("Authorization", authorization.toStdString());
    req.body.assign(body.constData(), static_cast<size_t>(body.size()));

    const auto limit = static_cast<uint64_t>(maxAnswerBytes_ < 0 ? 0 : maxAnswerBytes_);
    bool oversized = false;
    QByteArray answer;
    req.response_handler = [&](const httplib::Response& r) {
        if (r.has_header("Content-Length") &&
            r.get_header_value<uint64_t>("Content-Length") > limit) {
            oversized = true;
            return false;
        }
        return true;
    };
    req.content_receiver = [&](const char* data, size_t n, uint64_t, uint64_t) {
        if (static_cast<uint64_t>(answer.size()) + n > limit) {
            oversized = true;
            return false;
        }
        answer.append(data, static_cast<qsizetype>(n));
        return true;
    };

    httplib::Response res;
    httplib::Error error = httplib::Error::Success;
    const auto started = std::chrono::steady_clock::now();
    bool sent = false;
    RunTransport([&] { sent = client.send(req, res, error); });
    const auto elapsed = std::chrono::steady_clock::now() - started;

    if (oversized)
        return failed(QStringLiteral("A resposta do servidor de aplicação em %1 para %2 excede o "
                                     "limite de %3 bytes e foi descartada.")
                          .arg(address, method)
                          .arg(maxAnswerBytes_));
    if (!sent || error != httplib::Error::Success) {
        switch (error) {
        case httplib::Error::Connection:
            return failed(QStringLiteral("Não foi possível conectar ao servidor de aplicação em "
                                         "%1: conexão recusada ou endereço inalcançável.")
                              .arg(address));
        case httplib::Error::ConnectionTimeout:
            return failed(QStringLiteral("O servidor de aplicação em %1 não aceitou a conexão em "
                                         "%2 segundos.")
                              .arg(address, Seconds(connectTimeout_)));
        case httplib::Error::Write:
            return failed(QStringLiteral("Falha ao enviar a chamada de %1 ao servidor de aplicação "
                                         "em %2: a conexão foi interrompida.")
                              .arg(method, address));
        case httplib::Error::Read:
            // The library reports a read time-out and a dropped connection alike; the time
            // spent tells them apart.
            if (elapsed >= readTimeout_ * 9 / 10)
                return failed(
                    QStringLiteral("O servidor de aplicação em %1 não respondeu à chamada "
                                   "de %2 em %3 segundos.")
                        .arg(address, method, Seconds(readTimeout_)));
            return failed(QStringLiteral("A conexão com o servidor de aplicação em %1 foi "
                                         "interrompida antes da resposta à chamada de %2.")
                              .arg(address, method));
        default:
            return failed(
                QStringLiteral("Falha de comunicação com o servidor de aplicação em %1 "
                               "na chamada de %2 (%3).")
                    .arg(address, method, QString::fromStdString(httplib::to_string(error))));
        }
    }

    const JsonRpc::Response rpc = JsonRpc::ParseResponse(answer);
    if (rpc.kind == JsonRpc::Response::Kind::Error)
        return Outcome{{},
                       QStringLiteral("O servidor de aplicação em %1 recusou a chamada de %2: %3 "
                                      "(código %4).")
                           .arg(address, method, rpc.errorMessage)
                           .arg(rpc.errorCode),
                       rpc.errorCode,
                       rpc.errorMessage};
    if (res.status != 200)
        return failed(QStringLiteral("O servidor de aplicação em %1 respondeu à chamada de %2 com "
                                     "o erro HTTP %3 (%4).")
                          .arg(address, method)
                          .arg(res.status)
                          .arg(QString::fromStdString(res.reason)));
    if (rpc.kind == JsonRpc::Response::Kind::Malformed)
        return failed(QStringLiteral("O servidor de aplicação em %1 enviou uma resposta inválida à "
                                     "chamada de %2: %3.")
                          .arg(address, method, rpc.errorMessage));
    if (rpc.id != QJsonValue(static_cast<double>(id)))
        return failed(QStringLiteral("O servidor de aplicação em %1 enviou uma resposta inválida à "
                                     "chamada de %2: a resposta não corresponde à chamada.")
                          .arg(address, method));
    return Outcome{rpc.result, {}, 0, {}};
}

void TNetConnection::SetDefaultAuthorization(const QString& authorization) {
    DefaultAuthorization() = authorization;
}

void TNetConnection::SetSessionRenewal(SessionRenewal renewal) {
    CurrentSessionRenewal() = std::move(renewal);
}

void TNetConnection::RunTransport(const std::function<void()>& work) {
    if (TransportRunner& runner = CurrentTransportRunner())
        runner(work);
    else
        work();
}

void TNetConnection::SetTransportRunner(TransportRunner runner) {
    CurrentTransportRunner() = std::move(runner);
}
