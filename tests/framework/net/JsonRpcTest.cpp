#include "framework/net/JsonRpc.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using pla::JsonRpc;

namespace {

QJsonObject Obj(const QByteArray& bytes) {
    return QJsonDocument::fromJson(bytes).object();
}

} // namespace

TEST(JsonRpcRequest, EncodedRequestParsesBackUnchanged) {
    const QJsonArray params{QStringLiteral("0001"), QStringLiteral("2026-12-08"), 2.5,
                            QJsonValue()};
    const QByteArray body = JsonRpc::EncodeRequest(7, QStringLiteral("GetServicos"), params);
    EXPECT_EQ(Obj(body), Obj(R"({"jsonrpc":"2.0","id":7,"method":"GetServicos",)"
                             R"("params":["0001","2026-12-08",2.5,null]})"));

    const JsonRpc::ParsedRequest p = JsonRpc::ParseRequest(body);
    ASSERT_TRUE(p.IsValid()) << p.errorMessage.toStdString();
    EXPECT_EQ(p.request.id, QJsonValue(7));
    EXPECT_EQ(p.request.method, QStringLiteral("GetServicos"));
    EXPECT_EQ(p.request.params, params);
    EXPECT_TRUE(p.ErrorResponse().isEmpty());
}

TEST(JsonRpcRequest, MissingParamsMeansNoArguments) {
    const auto p =
        JsonRpc::ParseRequest(R"({"jsonrpc":"2.0","id":"a","method":"GetGruposServico"})");
    ASSERT_TRUE(p.IsValid());
    EXPECT_TRUE(p.request.params.isEmpty());
    EXPECT_EQ(p.request.id, QJsonValue(QStringLiteral("a")));
}

TEST(JsonRpcRequest, FaultsCarryTheirCodeAndEchoTheIdWhenReadable) {
    struct Case {
        const char* body;
        int code;
        QJsonValue id;
    };
    const QJsonValue null(QJsonValue::Null);
    const Case cases[] = {
        {R"({"jsonrpc":"2.0","id":1,"method":)", JsonRpc::ParseError, null},
        {"", JsonRpc::ParseError, null},
        {R"([{"jsonrpc":"2.0","id":1,"method":"X"}])", JsonRpc::InvalidRequest, null},
        {R"("texto")", JsonRpc::InvalidRequest, null},
        {R"({"jsonrpc":"2.0","method":"X"})", JsonRpc::InvalidRequest, null},
        {R"({"jsonrpc":"2.0","id":{"a":1},"method":"X"})", JsonRpc::InvalidRequest, null},
        {R"({"jsonrpc":"1.0","id":3,"method":"X"})", JsonRpc::InvalidRequest, QJsonValue(3)},
        {R"({"id":3,"method":"X"})", JsonRpc::InvalidRequest, QJsonValue(3)},
        {R"({"jsonrpc":"2.0","id":4,"method":""})", JsonRpc::InvalidRequest, QJsonValue(4)},
        {R"({"jsonrpc":"2.0","id":4,"method":12})", JsonRpc::InvalidRequest, QJsonValue(4)},
        {R"({"jsonrpc":"2.0","id":5,"method":"X","params":"a"})", JsonRpc::InvalidRequest,
         QJsonValue(5)},
        {R"({"jsonrpc":"2.0","id":6,"method":"X","params":{"a":1}})", JsonRpc::InvalidParams,
         QJsonValue(6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const auto p = JsonRpc::ParseRequest(QByteArray(c.body));
        EXPECT_FALSE(p.IsValid());
        EXPECT_EQ(p.errorCode, c.code);
        EXPECT_FALSE(p.errorMessage.isEmpty());
        const QJsonObject r = Obj(p.ErrorResponse());
        EXPECT_EQ(r.value("jsonrpc"), QJsonValue("2.0"));
        EXPECT_EQ(r.value("id"), c.id);
        EXPECT_EQ(r.value("error").toObject().value("code"), QJsonValue(c.code));
        EXPECT_FALSE(r.contains("result"));
    }
}

TEST(JsonRpcResponse, ResultAndErrorAreRecognised) {
    auto r =
        JsonRpc::ParseResponse(JsonRpc::EncodeResult(QJsonValue(9), QJsonObject{{"ok", true}}));
    EXPECT_EQ(r.kind, JsonRpc::Response::Kind::Result);
    EXPECT_EQ(r.id, QJsonValue(9));
    EXPECT_EQ(r.result, QJsonValue(QJsonObject{{"ok", true}}));

    // A null result is still a result, and an undefined one is sent as null.
    r = JsonRpc::ParseResponse(
        JsonRpc::EncodeResult(QJsonValue(1), QJsonValue(QJsonValue::Undefined)));
    EXPECT_EQ(r.kind, JsonRpc::Response::Kind::Result);
    EXPECT_TRUE(r.result.isNull());

    r = JsonRpc::ParseResponse(JsonRpc::EncodeError(QJsonValue(2), JsonRpc::MethodNotFound,
                                                    "Método não encontrado: X", QJsonValue("X")));
    EXPECT_EQ(r.kind, JsonRpc::Response::Kind::Error);
    EXPECT_EQ(r.errorCode, -32601);
    EXPECT_EQ(r.errorMessage, QStringLiteral("Método não encontrado: X"));
    EXPECT_EQ(r.errorData, QJsonValue("X"));

    // An id that cannot be echoed is replaced by null rather than producing a bad response.
    EXPECT_EQ(Obj(JsonRpc::EncodeError(QJsonValue(QJsonArray{1}), -32600, "x")).value("id"),
              QJsonValue(QJsonValue::Null));
}

TEST(JsonRpcResponse, MalformedAnswersAreNeverTakenForResults) {
    const char* bodies[] = {
        "<html>erro</html>",
        "[1,2]",
        R"({"id":1,"result":{}})",
        R"({"jsonrpc":"2.0","id":1})",
        R"({"jsonrpc":"2.0","id":1,"result":1,"error":{"code":1,"message":"x"}})",
        R"({"jsonrpc":"2.0","id":1,"error":"falhou"})",
        R"({"jsonrpc":"2.0","id":1,"error":{"code":1.5,"message":"x"}})",
        R"({"jsonrpc":"2.0","id":1,"error":{"code":-32000}})",
    };
    for (const char* b : bodies) {
        SCOPED_TRACE(b);
        const auto r = JsonRpc::ParseResponse(QByteArray(b));
        EXPECT_EQ(r.kind, JsonRpc::Response::Kind::Malformed);
        EXPECT_FALSE(r.errorMessage.isEmpty());
    }
}
