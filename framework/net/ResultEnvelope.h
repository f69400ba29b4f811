#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace pla {

// The envelope every remote method returns as its raw result:
// {"ok":true,"data":PAYLOAD} or {"ok":false,"message":"texto para o usuário"}.
// Connection faults are folded into the failure form so that callers treat them exactly
// like a refusal by the server.
class ResultEnvelope {
public:
    // What a raw result turned out to be.
    struct Decoded {
        enum class Kind { Success, Failure, Malformed };
        Kind kind = Kind::Malformed;
        QJsonValue data; // Success: the payload (null when the server sent none)
        QString message; // Failure: the server's text; Malformed: a text for the user

        bool IsSuccess() const { return kind == Kind::Success; }
    };

    // {"ok":true,"data":data}; an undefined data is sent as null.
    static QJsonObject Success(const QJsonValue& data);

    // {"ok":false,"message":message}.
    static QJsonObject Failure(const QString& message);

    // Reads a raw result. "ok" must be a boolean. A success without "data" carries null.
    // A failure whose message is missing, not a text or blank still yields a readable
    // message, so the user never sees an empty error box. Anything else is Malformed.
    static Decoded Decode(const QJsonValue& raw);
};

} // namespace pla
