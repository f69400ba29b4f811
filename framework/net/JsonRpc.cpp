#include "framework/net/JsonRpc.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

namespace pla {

namespace {

QByteArray Compact(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// Compact text of any JSON value (QJsonDocument only writes arrays and objects).
QByteArray Text(const QJsonValue& v) {
    const QByteArray wrapped = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

// JSON-RPC ids are strings, numbers or null; anything else cannot be echoed back.
bool IsValidId(const QJsonValue& id) {
    return id.isString() || id.isDouble() || id.isNull();
}

bool IsInteger(const QJsonValue& v) {
    if (!v.isDouble()) return false;
    const double d = v.toDouble();
    return std::isfinite(d) && std::trunc(d) == d && std::fabs(d) <= 2147483647.0;
}

// Method names are plain identifiers; those are quoted directly, anything else goes
// through the JSON writer for escaping.
QByteArray QuotedName(const QString& name) {
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('_') &&
            c != QLatin1Char('.'))
            return Text(name);
    return '"' + name.toLatin1() + '"';
}

} // namespace

QByteArray JsonRpc::ParsedRequest::ErrorResponse() const {
    if (IsValid()) return {};
    return EncodeError(id, errorCode, errorMessage);
}

QByteArray JsonRpc::EncodeRequest(qint64 id, const QString& method, const QJsonArray& params) {
    // Written by hand so the members keep their conventional order (a QJsonObject would sort
    // them) and a call costs one serialisation of the parameters.
    QByteArray out;
    const QByteArray p = QJsonDocument(params).toJson(QJsonDocument::Compact);
    out.reserve(p.size() + method.size() + 64);
    out += R"({"jsonrpc":"2.0","id":)";
    out += QByteArray::number(id);
    out += R"(,"method":)";
    out += QuotedName(method);
    out += R"(,"params":)";
    out += p;
    out += '}';
    return out;
}

JsonRpc::ParsedRequest JsonRpc::ParseRequest(const QByteArray& body) {
    ParsedRequest out;
    out.id = QJsonValue(QJsonValue::Null);
    auto fail = [&out](int code, const QString& detail) {
        out.errorCode = code;
        out.errorMessage = DefaultMessage(code) + QStringLiteral(": ") + detail;
        return out;
    };

    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &err);
    if (err.error != QJsonParseError::NoError) {
        // The parser takes only arrays and objects at the top; a lone scalar is valid JSON
        // but not a request.
        QJsonParseError wrapped{};
        const QJsonDocument w = QJsonDocument::fromJson('[' + body + ']', &wrapped);
        if (wrapped.error == QJsonParseError::NoError && w.array().size() == 1)
            return fail(InvalidRequest, QStringLiteral("a requisição deve ser um objeto"));
        return fail(ParseError, err.errorString());
    }
    if (doc.isArray())
        return fail(InvalidRequest, QStringLiteral("chamadas em lote não são aceitas"));
    if (!doc.isObject())
        return fail(InvalidRequest, QStringLiteral("a requisição deve ser um objeto"));

    const QJsonObject o = doc.object();
    const QJsonValue id = o.value(QStringLiteral("id"));
    if (id.isUndefined())
        return fail(InvalidRequest, QStringLiteral("a requisição não tem \"id\""));
    if (!IsValidId(id))
        return fail(InvalidRequest, QStringLiteral("\"id\" deve ser texto, número ou null"));
    out.id = id;

    if (o.value(QStringLiteral("jsonrpc")) != QJsonValue(QStringLiteral("2.0")))
        return fail(InvalidRequest, QStringLiteral("\"jsonrpc\" deve ser \"2.0\""));
    const QJsonValue method = o.value(QStringLiteral("method"));
    if (!method.isString() || method.toString().isEmpty())
        return fail(InvalidRequest, QStringLiteral("\"method\" deve ser um texto não vazio"));

    const QJsonValue params = o.value(QStringLiteral("params"));
    if (params.isObject())
        return fail(InvalidParams, QStringLiteral("só parâmetros posicionais são aceitos"));
    if (!params.isUndefined() && !params.isArray())
        return fail(InvalidRequest, QStringLiteral("\"params\" deve ser uma lista"));

    out.request.id = id;
    out.request.method = method.toString();
    out.request.params = params.toArray();
    return out;
}

QByteArray JsonRpc::EncodeResult(const QJsonValue& id, const QJsonValue& result) {
    QByteArray out;
    out += R"({"jsonrpc":"2.0","id":)";
    out += Text(IsValidId(id) ? id : QJsonValue());
    out += R"(,"result":)";
    // An undefined result would otherwise vanish and leave the response malformed.
    out += Text(result.isUndefined() ? QJsonValue() : result);
    out += '}';
    return out;
}

QByteArray JsonRpc::EncodeError(const QJsonValue& id, int code, const QString& message,
                                const QJsonValue& data) {
    QJsonObject e;
    e.insert(QStringLiteral("code"), code);
    e.insert(QStringLiteral("message"), message);
    if (!data.isUndefined()) e.insert(QStringLiteral("data"), data);
    QJsonObject o;
    o.insert(QStringLiteral("jsonrpc"), QStringLiteral("2.0"));
    o.insert(QStringLiteral("id"), IsValidId(id) ? id : QJsonValue());
    o.insert(QStringLiteral("error"), e);
    return Compact(o);
}

JsonRpc::Response JsonRpc::ParseResponse(const QByteArray& body) {
    Response out;
    auto malformed = [&out](const QString& why) {
        out.kind = Response::Kind::Malformed;
        out.errorMessage = why;
        return out;
    };

    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &err);
    if (err.error != QJsonParseError::NoError)
        return malformed(
            QStringLiteral("a resposta não é JSON válido (%1)").arg(err.errorString()));
    if (!doc.isObject()) return malformed(QStringLiteral("a resposta não é um objeto JSON-RPC"));

    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("jsonrpc")) != QJsonValue(QStringLiteral("2.0")))
        return malformed(QStringLiteral("a resposta não declara \"jsonrpc\":\"2.0\""));
    out.id = o.value(QStringLiteral("id"));

    const bool hasResult = o.contains(QStringLiteral("result"));
    const bool hasError = o.contains(QStringLiteral("error"));
    if (hasResult == hasError)
        return malformed(
            QStringLiteral("a resposta deve ter \"result\" ou \"error\", só um deles"));

    if (hasResult) {
        out.kind = Response::Kind::Result;
        out.result = o.value(QStringLiteral("result"));
        return out;
    }
    const QJsonValue e = o.value(QStringLiteral("error"));
    const QJsonValue code = e.toObject().value(QStringLiteral("code"));
    const QJsonValue message = e.toObject().value(QStringLiteral("message"));
    if (!e.isObject() || !IsInteger(code) || !message.isString())
        return malformed(QStringLiteral("o objeto \"error\" da resposta está incompleto"));
    out.kind = Response::Kind::Error;
    out.errorCode = code.toInt();
    out.errorMessage = message.toString();
    out.errorData = e.toObject().value(QStringLiteral("data"));
    return out;
}

QString JsonRpc::DefaultMessage(int code) {
    switch (code) {
    case ParseError:
        return QStringLiteral("Requisição não é JSON válido");
    case InvalidRequest:
        return QStringLiteral("Requisição JSON-RPC inválida");
    case MethodNotFound:
        return QStringLiteral("Método não encontrado");
    case InvalidParams:
        return QStringLiteral("Parâmetros inválidos");
    case InternalError:
        return QStringLiteral("Erro interno do servidor");
    default:
        return QStringLiteral("Erro do servidor");
    }
}

} // namespace pla
