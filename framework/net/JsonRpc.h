#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QString>

namespace pla {

// JSON-RPC 2.0 messages as both ends of the application-server link write and read them.
// The client encodes requests and parses responses; the server parses requests and encodes
// responses. Parameters are always positional; batches and notifications are not part of
// this protocol and are refused as invalid requests.
class JsonRpc {
public:
    // Standard protocol fault codes; ServerError is the first of the server-defined range.
    enum ErrorCode {
        ParseError = -32700,
        InvalidRequest = -32600,
        MethodNotFound = -32601,
        InvalidParams = -32602,
        InternalError = -32603,
        ServerError = -32000,
    };

    // A well-formed request: id is a string, a number or null; params is positional.
    struct Request {
        QJsonValue id;
        QString method;
        QJsonArray params;
    };

    // Outcome of reading a request body. When errorCode is 0 the request is valid; otherwise
    // errorMessage says what was wrong and id holds the request's id when it could be read
    // (null otherwise), ready for EncodeError.
    struct ParsedRequest {
        Request request;
        int errorCode = 0;
        QString errorMessage;
        QJsonValue id;

        bool IsValid() const { return errorCode == 0; }
        // The complete error response for an invalid request (empty for a valid one).
        QByteArray ErrorResponse() const;
    };

    // Outcome of reading a response body.
    struct Response {
        enum class Kind { Result, Error, Malformed };
        Kind kind = Kind::Malformed;
        QJsonValue id;
        QJsonValue result;    // Kind::Result
        int errorCode = 0;    // Kind::Error
        QString errorMessage; // Kind::Error: the server's text; Kind::Malformed: what was wrong
        QJsonValue errorData; // Kind::Error: the optional "data" member
    };

    // Compact request body {"jsonrpc":"2.0","id":ID,"method":M,"params":[...]}.
    static QByteArray EncodeRequest(qint64 id, const QString& method, const QJsonArray& params);

    // Validates a request body. Never throws: every fault is described in the result with
    // the code the server must answer with (-32700 not JSON, -32600 not a single request
    // object with "jsonrpc":"2.0", a method name and an id, -32602 named parameters).
    static ParsedRequest ParseRequest(const QByteArray& body);

    // Compact success response carrying result as given.
    static QByteArray EncodeResult(const QJsonValue& id, const QJsonValue& result);

    // Compact error response; data is included only when it is not undefined.
    static QByteArray EncodeError(const QJsonValue& id, int code, const QString& message,
                                  const QJsonValue& data = QJsonValue(QJsonValue::Undefined));

    // Validates a response body: exactly one of "result" and "error", "jsonrpc":"2.0", an
    // error with an integer code and a text message. Never throws.
    static Response ParseResponse(const QByteArray& body);

    // The Portuguese text that goes with a standard fault code (a generic text otherwise).
    static QString DefaultMessage(int code);
};

} // namespace pla
