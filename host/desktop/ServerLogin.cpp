#include "host/desktop/ServerLogin.h"

#include "framework/net/NetConnection.h"

#include <QJsonObject>

namespace pla {

namespace {

// The Login call; the data object of a successful answer, else nullopt and the message.
std::optional<QJsonObject> callLogin(const QString& host, int port, const QString& authorization,
                                     QString& message) {
    TNetConnection net(QStringLiteral("netLogin"));
    net.Host = host;
    net.Port = port;
    net.Authorization = authorization;
    const QJsonObject result = net.Call(QStringLiteral("Login")).toObject();
    if (!result.value(QStringLiteral("ok")).toBool()) {
        message = result.value(QStringLiteral("message")).toString();
        if (message.isEmpty())
            message = QStringLiteral("O servidor de aplicação respondeu ao login de forma "
                                     "inesperada.");
        return std::nullopt;
    }
    return result.value(QStringLiteral("data")).toObject();
}

} // namespace

ServerLogin::ServerLogin(QString host, int port) : host_(std::move(host)), port_(port) {}

ServerLogin::Need ServerLogin::probe(QString& message) {
    const auto data = callLogin(host_, port_, {}, message);
    if (!data) return Need::Failure;
    return data->value(QStringLiteral("exigeLogin")).toBool() ? Need::Credentials : Need::Nothing;
}

std::optional<LoginRecord> ServerLogin::login(const QString& login, const QString& password,
                                              QString& message) {
    const QByteArray pair = (login + QLatin1Char(':') + password).toUtf8();
    const auto data = callLogin(
        host_, port_, QStringLiteral("Basic ") + QString::fromLatin1(pair.toBase64()), message);
    if (!data) return std::nullopt;
    return LoginRecord{data->value(QStringLiteral("usuario")).toString(),
                       data->value(QStringLiteral("nome")).toString(),
                       data->value(QStringLiteral("filial")).toString(),
                       data->value(QStringLiteral("vinculado")).toBool(),
                       data->value(QStringLiteral("token")).toString()};
}

} // namespace pla
