#include "framework/net/ResultEnvelope.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using pla::ResultEnvelope;
using Kind = ResultEnvelope::Decoded::Kind;

TEST(ResultEnvelope, SuccessAndFailureRoundTrip) {
    const QJsonArray payload{QStringLiteral("msg"), QJsonObject{{"rows", QJsonArray{}}}};
    auto d = ResultEnvelope::Decode(ResultEnvelope::Success(payload));
    EXPECT_EQ(d.kind, Kind::Success);
    EXPECT_EQ(d.data, QJsonValue(payload));

    // A success without "data" carries null.
    d = ResultEnvelope::Decode(QJsonObject{{"ok", true}});
    EXPECT_EQ(d.kind, Kind::Success);
    EXPECT_TRUE(d.data.isNull());

    d = ResultEnvelope::Decode(ResultEnvelope::Failure(QStringLiteral("Servidor indisponível")));
    EXPECT_EQ(d.kind, Kind::Failure);
    EXPECT_EQ(d.message, QStringLiteral("Servidor indisponível"));
}

TEST(ResultEnvelope, RefusalWithoutTextStillExplainsItself) {
    for (const QJsonObject& o :
         {QJsonObject{{"ok", false}}, QJsonObject{{"ok", false}, {"message", "  "}},
          QJsonObject{{"ok", false}, {"message", 12}}}) {
        const auto d = ResultEnvelope::Decode(o);
        EXPECT_EQ(d.kind, Kind::Failure);
        EXPECT_FALSE(d.message.trimmed().isEmpty());
    }
}

TEST(ResultEnvelope, AnythingElseIsMalformed) {
    for (const QJsonValue& v :
         {QJsonValue(), QJsonValue(true), QJsonValue("ok"), QJsonValue(QJsonArray{true}),
          QJsonValue(QJsonObject{}), QJsonValue(QJsonObject{{"ok", "true"}, {"data", 1}}),
          QJsonValue(QJsonObject{{"ok", 1}})}) {
        const auto d = ResultEnvelope::Decode(v);
        EXPECT_EQ(d.kind, Kind::Malformed);
        EXPECT_FALSE(d.message.isEmpty());
    }
}
