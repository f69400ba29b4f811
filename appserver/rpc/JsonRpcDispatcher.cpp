#include "appserver/rpc/JsonRpcDispatcher.h"

#include "appserver/ServerLog.h"
#include "appserver/auth/Authenticator.h"
#include "appserver/rpc/InputLimits.h"
#include "appserver/rpc/InputText.h"
#include "appserver/rpc/Refusal.h"
#include "appserver/rpc/RemoteMethods.h"
#include "appserver/rpc/RequestScanner.h"
#include "appserver/storage/StorageError.h"
#include "appserver/storage/TransactionRetry.h"
#include "framework/data/DatabaseError.h"
#include "framework/data/PacketCodec.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <vector>

namespace pla {

namespace {

// A protocol fault that becomes a JSON-RPC error object.
struct RpcFault {
    int code;
    QString message;
};

// The refusal of a save or delete that carries no version, when the server requires one; none
// for any other call.
std::optional<QString> unversionedRefusal(const QString& method, const QJsonArray& params) {
    const bool save = method == QLatin1String("SetDistribuicao");
    if (!save && method != QLatin1String("ApagaDistribuicao")) return std::nullopt;
    const int position = save ? 4 : 1;
    if (params.size() > position && !params[position].isNull()) return std::nullopt;
    return QStringLiteral("%1 foi recusada: o programa não enviou a versão da distribuição, e "
                          "este servidor exige a versão para que nenhuma alteração de outro "
                          "usuário seja sobrescrita sem aviso. Atualize o programa.")
        .arg(save ? QStringLiteral("A gravação") : QStringLiteral("A exclusão"));
}

QJsonObject errorResponse(const QJsonValue& id, int code, const QString& message) {
    // An invalid request without an id is still answered, and an answer always carries its
    // id: null when the request gave none (an undefined value would drop the member).
    return QJsonObject{
        {QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
        {QStringLiteral("id"), id.isUndefined() ? QJsonValue(QJsonValue::Null) : id},
        {QStringLiteral("error"),
         QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("message"), message}}}};
}

QByteArray encode(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// A method's result as JSON text: most are objects a JSON document writes; a distribution is
// written straight to text.
struct ResultText {
    ResultText(const QJsonObject& o) : text(encode(o)) {} // NOLINT: every object result converts
    ResultText(QByteArray t) : text(std::move(t)) {}      // NOLINT: as does text
    QByteArray text;
};

// The members of a success in the order a JSON document writes them, the result spliced in.
QByteArray successResponse(const QJsonValue& id, const QByteArray& result) {
    QByteArray idText = QJsonDocument(QJsonArray{id}).toJson(QJsonDocument::Compact);
    const QByteArrayView idView(idText.constData() + 1, idText.size() - 2); // without brackets
    // Sized once: a distribution's result is tens of kilobytes, copied here only once.
    static constexpr QByteArrayView head = "{\"id\":", middle = ",\"jsonrpc\":\"2.0\",\"result\":";
    QByteArray out;
    out.reserve(head.size() + idView.size() + middle.size() + result.size() + 1);
    out.append(head).append(idView).append(middle).append(result).append('}');
    return out;
}

enum class Kind { Text, TextOrNull, Date, Number, Packet, Flag, Version };

// A Version is the one optional parameter: last, and may be left out by older callers.
struct ParamSpec {
    Kind kind;
    const char* label;
};

// Typed view of a params array, checked against the method's parameter list.
class Params {
public:
    Params(const QString& method, const JsonRpcDispatcher::ParamValues& values,
           std::vector<ParamSpec> specs)
        : method_(method), values_(values.values), preread_(values.preread),
          specs_(std::move(specs)), packets_(specs_.size()) {
        const bool optionalLast = !specs_.empty() && specs_.back().kind == Kind::Version;
        if (optionalLast && values_.size() == static_cast<qsizetype>(specs_.size()) - 1)
            specs_.pop_back();
        if (values_.size() != static_cast<qsizetype>(specs_.size()))
            throw RpcFault{
                -32602,
                QStringLiteral("Parâmetros inválidos: %1 espera %2 parâmetro(s), recebeu %3.")
                    .arg(method_)
                    .arg(specs_.size())
                    .arg(values_.size())};
        for (int i = 0; i < values_.size(); ++i)
            check(i);
    }
    // A null TextOrNull reads as a null string.
    QString text(int i) const { return values_[i].toString(); }
    QDate date(int i) const {
        return QDate::fromString(values_[i].toString(), QStringLiteral("yyyy-MM-dd"));
    }
    bool flag(int i) const { return values_[i].toString() == QLatin1String("S"); }
    std::optional<double> number(int i) const {
        if (values_[i].isNull()) return std::nullopt;
        return values_[i].toDouble();
    }
    const TDataPacket& packet(int i) const { return packets_[i]; }
    // The version argument, when given and not null.
    std::optional<qint64> version(int i) const {
        if (i >= values_.size() || values_[i].isNull()) return std::nullopt;
        return static_cast<qint64>(values_[i].toDouble());
    }

private:
    RpcFault fault(int i, const QString& what) const {
        return RpcFault{-32602, QStringLiteral("Parâmetros inválidos: parâmetro %1 (%2) de %3: %4")
                                    .arg(i + 1)
                                    .arg(QString::fromUtf8(specs_[i].label), method_, what)};
    }
    void check(int i) {
        const QJsonValue v = values_[i];
        switch (specs_[i].kind) {
        case Kind::Text:
            if (!v.isString()) throw fault(i, QStringLiteral("deve ser um texto."));
            break;
        case Kind::TextOrNull:
            if (!v.isString() && !v.isNull())
                throw fault(i, QStringLiteral("deve ser um texto ou null."));
            break;
        case Kind::Flag:
            if (!v.isString() ||
                (v.toString() != QLatin1String("S") && v.toString() != QLatin1String("N")))
                throw fault(i, QStringLiteral("deve ser \"S\" ou \"N\"."));
            break;
        case Kind::Date: {
            const QString s = v.toString();
            if (!v.isString() || s.size() != 10 ||
                !QDate::fromString(s, QStringLiteral("yyyy-MM-dd")).isValid())
                throw fault(i, QStringLiteral("deve ser uma data no formato AAAA-MM-DD."));
            break;
        }
        case Kind::Number:
            if (!v.isDouble() && !v.isNull()) throw fault(i, QStringLiteral("deve ser um número."));
            break;
        case Kind::Version:
            if (!v.isNull() && (!v.isDouble() || v.toDouble() < 0 || v.toDouble() > 9e15 ||
                                v.toDouble() != std::floor(v.toDouble())))
                throw fault(i, QStringLiteral("deve ser um número inteiro."));
            break;
        case Kind::Packet:
            if (!v.isObject()) throw fault(i, QStringLiteral("deve ser um pacote de dados."));
            try {
                const bool read = preread_ && i < static_cast<int>(preread_->size()) &&
                                  (*preread_)[i].has_value();
                packets_[i] = read ? std::move(*(*preread_)[i]) : PacketCodec::FromJson(v);
                PacketCodec::RequireDistinctNames(packets_[i]);
            } catch (const EDatabaseError& e) {
                throw fault(i, InputText::shortenQuotedParts(e.Message()));
            }
            break;
        }
    }

    QString method_;
    QJsonArray values_;
    JsonRpcDispatcher::Preread* preread_;
    std::vector<ParamSpec> specs_;
    std::vector<TDataPacket> packets_;
};

// Whose branch a method holds a tied user to; RemoteMethods applies the rule through
// BranchRestriction.
enum class BranchRule { None, BranchArgument, Distribution, TickedServices };

// One remote method: its wire name, the reading of its params (in order), the branch rule
// it keeps and the call it makes. Every name the server answers is here once.
struct Method {
    const char* name;
    std::vector<ParamSpec> params;
    BranchRule branchRule;
    ResultText (*handler)(RemoteMethods&, const Params&);
};

const std::vector<Method>& methodTable() {
    static const std::vector<Method> table = {
        {"GetGruposServico",
         {},
         BranchRule::None,
         [](RemoteMethods& m, const Params&) -> ResultText { return m.GetGruposServico(); }},
        {"GetServicos",
         {{Kind::Text, "filial"}, {Kind::Date, "data do cardápio"}},
         BranchRule::BranchArgument,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetServicos(p.text(0), p.date(1));
         }},
        {"GetServicosTransportados",
         {{Kind::Text, "filial"}},
         BranchRule::BranchArgument,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetServicosTransportados(p.text(0));
         }},
        {"GetPontosEntrega",
         {{Kind::Text, "filial"}, {Kind::Text, "serviço"}},
         BranchRule::BranchArgument,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetPontosEntrega(p.text(0), p.text(1));
         }},
        {"GetDistribuicao",
         {{Kind::Text, "filial"},
          {Kind::Text, "serviço"},
          {Kind::Date, "data do cardápio"},
          {Kind::Text, "cliente"},
          {Kind::Text, "destino"},
          {Kind::Flag, "redistribuição"}},
         BranchRule::BranchArgument,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetDistribuicaoJson(p.text(0), p.text(1), p.date(2), p.text(3), p.text(4),
                                          p.flag(5));
         }},
        {"SetDistribuicao",
         {{Kind::Number, "número da distribuição"},
          {Kind::Packet, "pratos não distribuídos"},
          {Kind::Packet, "embalagens"},
          {Kind::Packet, "pratos na embalagem"},
          {Kind::Version, "versão da distribuição"}},
         BranchRule::Distribution,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.SetDistribuicao(p.number(0), p.packet(1), p.packet(2), p.packet(3),
                                      p.version(4));
         }},
        {"GetVdEmbalagens",
         {{Kind::Text, "código da embalagem"}},
         BranchRule::None,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetVdEmbalagens(p.text(0));
         }},
        {"GetCapacidadeEmb",
         {{Kind::Text, "filial da receita"}, {Kind::Text, "prato"}, {Kind::Text, "embalagem"}},
         BranchRule::None,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetCapacidadeEmb(p.text(0), p.text(1), p.text(2));
         }},
        {"GetAlteracoesDistribuicao",
         {{Kind::Number, "número da distribuição"}, {Kind::Version, "versão da distribuição"}},
         BranchRule::Distribution,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetAlteracoesDistribuicao(p.number(0), p.version(1).value_or(0));
         }},
        {"ApagaDistribuicao",
         {{Kind::Number, "número da distribuição"}, {Kind::Version, "versão da distribuição"}},
         BranchRule::Distribution,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.ApagaDistribuicao(p.number(0), p.version(1));
         }},
        {"GeraDistribuicaoFilial",
         {{Kind::Date, "data do cardápio"},
          {Kind::Packet, "serviços"},
          {Kind::Flag, "substituição"}},
         BranchRule::TickedServices,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GeraDistribuicaoFilial(p.date(0), p.packet(1), p.flag(2));
         }},
        {"GetFiliais",
         {{Kind::TextOrNull, "filial"}, {Kind::TextOrNull, "todas"}},
         BranchRule::None,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetFiliais(p.text(0), p.text(1));
         }},
        {"GetImpressaoDistribuicao",
         {{Kind::Text, "filial"}, {Kind::Date, "data do cardápio"}},
         BranchRule::BranchArgument,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetImpressaoDistribuicao(p.text(0), p.date(1));
         }},
        {"SetImpressaoDistribuicao",
         {{Kind::Text, "filial"},
          {Kind::Date, "data do cardápio"},
          {Kind::Text, "conteúdo"},
          {Kind::TextOrNull, "preparo"},
          {Kind::Packet, "distribuições impressas"}},
         BranchRule::BranchArgument,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.SetImpressaoDistribuicao(p.text(0), p.date(1), p.text(2), p.text(3),
                                               p.packet(4));
         }},
        {"GetEtiquetasImpressas",
         {{Kind::Text, "filial"},
          {Kind::Date, "data do cardápio"},
          {Kind::Version, "número da distribuição"}},
         BranchRule::BranchArgument,
         [](RemoteMethods& m, const Params& p) -> ResultText {
             return m.GetEtiquetasImpressas(p.text(0), p.date(1), p.version(2));
         }},
    };
    return table;
}

const Method* findMethod(const QString& name) {
    for (const Method& m : methodTable())
        if (name == QLatin1String(m.name)) return &m;
    return nullptr;
}

} // namespace

JsonRpcDispatcher::JsonRpcDispatcher(ConnectionProvider connection, int maxDepth,
                                     int credentialMilliseconds)
    : connection_(std::move(connection)), maxDepth_(maxDepth),
      credentials_(std::make_unique<CredentialCache>(credentialMilliseconds)),
      throttle_(std::make_unique<LoginThrottle>()) {}

QVector<JsonRpcDispatcher::MethodInfo> JsonRpcDispatcher::methods() {
    static const char* const rules[] = {"none", "branch", "distribution", "services"};
    QVector<MethodInfo> list;
    for (const Method& m : methodTable()) {
        MethodInfo info{QString::fromLatin1(m.name),
                        {},
                        false,
                        QString::fromLatin1(rules[static_cast<int>(m.branchRule)])};
        for (const ParamSpec& p : m.params)
            info.params.push_back(QString::fromUtf8(p.label));
        info.lastOptional = !m.params.empty() && m.params.back().kind == Kind::Version;
        list.push_back(info);
    }
    return list;
}

int JsonRpcDispatcher::nestingDepth(const QByteArray& json, int limit, int* outerCommas) {
    int depth = 0, deepest = 0, commas = 0;
    bool inString = false, escaped = false;
    for (const char c : json) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > limit) return deepest;
        } else if (c == ']' || c == '}')
            --depth;
        else if (c == ',' && depth == 1)
            ++commas;
    }
    if (outerCommas) *outerCommas = commas;
    return deepest;
}

QByteArray JsonRpcDispatcher::call(const QString& method, const ParamValues& params,
                                   const RequestContext& request) const {
    const Method* entry = findMethod(method);
    const bool login = method == QLatin1String("Login");
    // Parameters are checked before any database work.
    std::optional<Params> args;
    if (login)
        Params(method, params, {}); // Login takes no parameters
    else if (!entry)
        throw RpcFault{-32601,
                       QStringLiteral("Método não encontrado: %1").arg(InputText::quoted(method))};
    else
        args.emplace(method, params, entry->params);
    QSqlDatabase db;
    Caller caller;
    try {
        db = connection_();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        // After a database restart the credential read is the first to meet the broken
        // connection: it is reopened and the read run again, as for the methods themselves.
        TransactionRetry retry(db);
        if (login)
            return encode(retry.run([&] {
                return Authenticator(db, credentials_.get(), throttle_.get(), sessionLifetime_)
                    .login(request, now);
            }));
        caller =
            retry.run([&] { return Authenticator(db, credentials_.get()).caller(request, now); });
    } catch (const AuthFault& f) {
        throw RpcFault{AuthFault::kCode, f.message};
    } catch (const Refusal& r) {
        return encode(RemoteMethods::refusal(r.message()));
    } catch (const StorageError& e) {
        ServerLog::write(e.message());
        return encode(RemoteMethods::refusal(TransactionRetry::unreachable()));
    }
    if (requireVersion_)
        if (const auto refused = unversionedRefusal(method, params.values))
            return encode(RemoteMethods::refusal(*refused));
    RemoteMethods remote(db, hook_, caller);
    return entry->handler(remote, *args).text;
}

QByteArray JsonRpcDispatcher::handleOne(const QJsonValue& request, bool& respond,
                                        const RequestContext& context, Preread* preread) const {
    const auto fault = [](const QJsonValue& id, int code, const QString& message) {
        return encode(errorResponse(id, code, message));
    };
    respond = true;
    if (!request.isObject())
        return fault(QJsonValue::Null, -32600,
                     QStringLiteral("Requisição inválida: esperado um objeto."));
    const QJsonObject o = request.toObject();
    const bool hasId = o.contains(QStringLiteral("id"));
    const QJsonValue id = o.value(QStringLiteral("id"));
    if (hasId && !id.isString() && !id.isDouble() && !id.isNull())
        return fault(QJsonValue::Null, -32600,
                     QStringLiteral("Requisição inválida: \"id\" mal formado."));
    if (id.isDouble() && !(std::abs(id.toDouble()) <= InputLimits::maxNumericId &&
                           id.toDouble() == std::floor(id.toDouble())))
        return fault(QJsonValue::Null, -32600,
                     QStringLiteral("Requisição inválida: um \"id\" numérico deve ser inteiro e "
                                    "ter no máximo 15 algarismos."));
    if (o.value(QStringLiteral("jsonrpc")) != QJsonValue(QStringLiteral("2.0")))
        return fault(id, -32600,
                     QStringLiteral("Requisição inválida: \"jsonrpc\" deve ser \"2.0\"."));
    const QJsonValue method = o.value(QStringLiteral("method"));
    if (!method.isString())
        return fault(id, -32600, QStringLiteral("Requisição inválida: falta o nome do método."));
    const QJsonValue params = o.value(QStringLiteral("params"));
    if (!params.isUndefined() && !params.isArray() && !params.isObject())
        return fault(id, -32600,
                     QStringLiteral("Requisição inválida: \"params\" deve ser uma lista."));
    respond = hasId;
    try {
        if (params.isObject())
            throw RpcFault{-32602,
                           QStringLiteral("Parâmetros inválidos: %1 aceita apenas parâmetros "
                                          "posicionais.")
                               .arg(method.toString())};
        return successResponse(id, call(method.toString(), {params.toArray(), preread}, context));
    } catch (const RpcFault& f) {
        return fault(id, f.code, f.message);
    } catch (const std::exception& e) {
        return fault(id, -32603,
                     QStringLiteral("Erro interno do servidor de aplicação: %1")
                         .arg(QString::fromUtf8(e.what())));
    }
}

QByteArray JsonRpcDispatcher::handle(const QByteArray& body, const RequestContext& context) const {
    int commas = 0;
    if (nestingDepth(body, maxDepth_, &commas) > maxDepth_)
        return encode(errorResponse(
            QJsonValue::Null, -32700,
            QStringLiteral("Erro de análise: JSON aninhado além de %1 níveis.").arg(maxDepth_)));
    // A batch over the bound is refused from its bytes, before it is read: reading a hundred
    // thousand calls would take seconds and hundreds of megabytes.
    const auto first = std::find_if(body.cbegin(), body.cend(), [](char c) {
        return !std::isspace(static_cast<unsigned char>(c));
    });
    if (first != body.cend() && *first == '[' && commas + 1 > InputLimits::maxBatchCalls)
        return encode(errorResponse(
            QJsonValue::Null, -32600,
            QStringLiteral("Requisição inválida: o lote tem %1 chamadas; o máximo é %2.")
                .arg(commas + 1)
                .arg(InputLimits::maxBatchCalls)));
    // Packets in the params are read straight from their bytes when they can all be, the rest
    // of the request through a JSON document; any other body is read whole.
    QJsonDocument doc;
    Preread preread;
    QJsonParseError error{};
    if (std::optional<RequestScanner::Read> read = RequestScanner::read(body)) {
        doc = std::move(read->envelope);
        preread = std::move(read->packets);
    } else {
        doc = QJsonDocument::fromJson(body, &error);
    }
    if (error.error != QJsonParseError::NoError) {
        // A document holds only an object or an array; a bare value (42, "x", null) is valid
        // JSON that is not a request. Wrapping the body in a list tells the two apart: exactly
        // one element means the body was one well-formed value.
        QJsonParseError wrappedError{};
        const QJsonDocument wrapped =
            QJsonDocument::fromJson(QByteArray("[") + body + QByteArray("]"), &wrappedError);
        if (wrappedError.error == QJsonParseError::NoError && wrapped.array().size() == 1)
            return encode(errorResponse(
                QJsonValue::Null, -32600,
                QStringLiteral("Requisição inválida: esperado um objeto ou uma lista.")));
        return encode(errorResponse(QJsonValue::Null, -32700,
                                    QStringLiteral("Erro de análise do JSON: %1 (posição %2).")
                                        .arg(error.errorString())
                                        .arg(error.offset)));
    }
    if (doc.isArray()) {
        const QJsonArray batch = doc.array();
        if (batch.isEmpty())
            return encode(errorResponse(QJsonValue::Null, -32600,
                                        QStringLiteral("Requisição inválida: lote vazio.")));
        QByteArrayList responses;
        for (const QJsonValue& r : batch) {
            bool respond = true;
            QByteArray answer = handleOne(r, respond, context);
            if (respond) responses.append(std::move(answer));
        }
        return responses.isEmpty() ? QByteArray() : '[' + responses.join(',') + ']';
    }
    bool respond = true;
    QByteArray answer = handleOne(doc.object(), respond, context, &preread);
    return respond ? answer : QByteArray();
}

} // namespace pla
