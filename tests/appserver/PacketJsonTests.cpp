#include "appserver/PacketJson.h"
#include "appserver/Refusal.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using pla::PacketJson;

namespace {
QJsonValue json(const char* text) {
    return QJsonDocument::fromJson(text).object();
}
} // namespace

TEST(PacketJson, RoundTripKeepsTypesSizesAndNulls) {
    pla::WirePacket p;
    p.add("CDFILIAL", pla::WireType::String, 4).add("QTPRATO", pla::WireType::Float);
    p.Rows = {{QStringLiteral("0001"), 2.5}, {QVariant(), QVariant()}};
    const pla::WirePacket back = PacketJson::fromJson(PacketJson::toJson(p));
    ASSERT_EQ(back.Fields.size(), 2);
    EXPECT_EQ(back.Fields[0].Size, 4);
    EXPECT_EQ(back.Fields[1].Type, pla::WireType::Float);
    EXPECT_EQ(back.Rows[0][0].toString(), QStringLiteral("0001"));
    EXPECT_DOUBLE_EQ(back.Rows[0][1].toDouble(), 2.5);
    EXPECT_FALSE(back.Rows[1][0].isValid());
}

TEST(PacketJson, BareNamesTakeTheirKindFromTheValues) {
    const pla::WirePacket p =
        PacketJson::fromJson(json(R"({"fields":["A","B"],"rows":[[null,"x"],[1.5,"y"]]})"));
    EXPECT_EQ(p.Fields[0].Type, pla::WireType::Float);
    EXPECT_EQ(p.Fields[1].Type, pla::WireType::String);
    EXPECT_DOUBLE_EQ(p.Rows[1][0].toDouble(), 1.5);
}

TEST(PacketJson, MalformedPacketsAreRefusedWithAMessage) {
    const char* bad[] = {
        R"({"fields":[{"name":"A","type":"float"}]})",                        // no rows
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[1,2]]})",         // row too wide
        R"({"fields":[{"name":"A","type":"float"}],"rows":[["1"]]})",         // text in a number
        R"({"fields":[{"name":"A","type":"string","size":3}],"rows":[[1]]})", // number in a text
        R"({"fields":[{"name":"A","type":"blob"}],"rows":[]})",               // unknown type
        R"({"fields":[{"name":"A","type":"float"},{"name":"A","type":"float"}],"rows":[]})", // twice
        R"({"fields":[{"type":"float"}],"rows":[]})", // no name
    };
    for (const char* b : bad) {
        try {
            PacketJson::fromJson(json(b));
            ADD_FAILURE() << "accepted: " << b;
        } catch (const pla::Refusal& r) {
            EXPECT_FALSE(r.message().isEmpty());
        }
    }
    EXPECT_THROW(PacketJson::fromJson(QJsonValue(3)), pla::Refusal);
}
