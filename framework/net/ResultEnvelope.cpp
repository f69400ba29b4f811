#include "framework/net/ResultEnvelope.h"

namespace pla {

QJsonObject ResultEnvelope::Success(const QJsonValue& data) {
    QJsonObject o;
    o.insert(QStringLiteral("ok"), true);
    o.insert(QStringLiteral("data"), data.isUndefined() ? QJsonValue() : data);
    return o;
}

QJsonObject ResultEnvelope::Failure(const QString& message) {
    QJsonObject o;
    o.insert(QStringLiteral("ok"), false);
    o.insert(QStringLiteral("message"), message);
    return o;
}

ResultEnvelope::Decoded ResultEnvelope::Decode(const QJsonValue& raw) {
    Decoded out;
    const QJsonValue ok = raw.toObject().value(QStringLiteral("ok"));
    if (!raw.isObject() || !ok.isBool()) {
        out.kind = Decoded::Kind::Malformed;
        out.message =
            QStringLiteral("O servidor de aplicação devolveu um resultado em formato inesperado.");
        return out;
    }
    const QJsonObject o = raw.toObject();
    if (ok.toBool()) {
        out.kind = Decoded::Kind::Success;
        const QJsonValue data = o.value(QStringLiteral("data"));
        out.data = data.isUndefined() ? QJsonValue() : data;
        return out;
    }
    out.kind = Decoded::Kind::Failure;
    out.message = o.value(QStringLiteral("message")).toString();
    if (out.message.trimmed().isEmpty())
        out.message =
            QStringLiteral("O servidor de aplicação recusou a operação sem informar o motivo.");
    return out;
}

} // namespace pla
