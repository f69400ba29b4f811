#include "framework/data/PacketCodec.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/DatabaseError.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

QString refusal(const QByteArray& json) {
    try {
        PacketCodec::Decode(json);
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
    return {};
}

TEST(PacketCodec, RoundTripsEveryTypeAndNull) {
    TDataPacket p;
    p.Fields = {{"CDFILIAL", TFieldType::String, 4},
                {"QTPRATO", TFieldType::Float},
                {"NRSEQ", TFieldType::Integer},
                {"DTCARD", TFieldType::Date}};
    p.Rows = {{QStringLiteral("0001"), 2.5, 7, QDate(2026, 12, 8)},
              {QStringLiteral("Ação"), QVariant(), QVariant(), QVariant()}};
    const QByteArray bytes = PacketCodec::Encode(p);
    EXPECT_TRUE(bytes.contains(R"({"name":"CDFILIAL","size":4,"type":"string"})"))
        << bytes.constData();
    EXPECT_TRUE(bytes.contains(R"(["0001",2.5,7,"2026-12-08"])")) << bytes.constData();
    const TDataPacket back = PacketCodec::Decode(bytes);
    ASSERT_EQ(back.Fields.size(), 4);
    EXPECT_EQ(back.Fields[0].Size, 4);
    EXPECT_EQ(back.Fields[3].Type, TFieldType::Date);
    EXPECT_EQ(back.Rows, p.Rows);
}

TEST(PacketCodec, BareNamesTakeTheirTypeFromTheDataSetOrTheValues) {
    const TDataPacket p = PacketCodec::Decode(
        R"({"fields":["CDGRUPSERV","QTPRATO","DTCARD"],"rows":[["001",1,"2026-12-08"],[null,2.5,null]]})");
    EXPECT_FALSE(p.Fields[0].Typed);
    EXPECT_EQ(p.Fields[0].Type, TFieldType::String);
    EXPECT_EQ(p.Fields[1].Type, TFieldType::Float);

    TClientDataSet ds("cdsTeste");
    ds.AddField({.Name = "CDGRUPSERV", .Type = TFieldType::String, .Size = 3});
    ds.AddField({.Name = "QTPRATO", .Type = TFieldType::Float});
    ds.AddField({.Name = "DTCARD", .Type = TFieldType::Date});
    ds.SetData(p);
    EXPECT_EQ(ds.FieldByName("DTCARD").AsDate(), QDate(2026, 12, 8));
    EXPECT_EQ(ds.FieldByName("CDGRUPSERV").AsString(), "001");
    ds.Next();
    EXPECT_DOUBLE_EQ(ds.FieldByName("QTPRATO").AsFloat(), 2.5);
    EXPECT_TRUE(ds.FieldByName("CDGRUPSERV").IsNull());

    // An empty packet empties a defined set.
    ds.SetData(PacketCodec::Decode(R"({"fields":[],"rows":[]})"));
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_EQ(ds.FieldCount(), 3);
}

TEST(PacketCodec, RefusesMalformedInputWithAClearMessage) {
    const std::pair<QByteArray, QString> cases[] = {
        {"[1,2]", "objeto"},
        {"\"texto\"", ""},
        {"{\"fields\":{},\"rows\":[]}", "\"fields\""},
        {"{\"fields\":[],\"rows\":{}}", "\"rows\""},
        {"{\"rows\":[]}", "\"fields\""},
        {R"({"fields":["A","B"],"rows":[["x"]]})", "linha 1"},
        {R"({"fields":["A"],"rows":["x"]})", "linha 1"},
        {R"({"fields":[{"name":"A","type":"float"}],"rows":[["1"]]})", "campo 'A'"},
        {R"({"fields":[{"name":"A","type":"integer"}],"rows":[[1.5]]})", "campo 'A'"},
        {R"({"fields":[{"name":"A","type":"date"}],"rows":[["08/12/2026"]]})", "campo 'A'"},
        {R"({"fields":[{"name":"A","type":"string"}],"rows":[[true]]})", "campo 'A'"},
        {R"({"fields":[{"name":"A","type":"texto"}],"rows":[]})", "tipo"},
        {R"({"fields":[{"type":"string"}],"rows":[]})", "sem nome"},
        {R"({"fields":[{"name":"A","type":"string","size":-1}],"rows":[]})", "tamanho"},
        {R"({"fields":["A"],"rows":[[1],["x"]]})", "mistura"},
        {"{\"fields\":[", "JSON inválido"},
    };
    for (const auto& [json, word] : cases) {
        const QString msg = refusal(json);
        EXPECT_FALSE(msg.isEmpty()) << json.constData();
        EXPECT_TRUE(msg.contains(word)) << json.constData() << " -> " << msg.toStdString();
    }
}

TEST(PacketCodec, RefusesDeepNestingAndHugeBodies) {
    const QByteArray deep = QByteArray(70, '[') + QByteArray(70, ']');
    const QByteArray inRow = R"({"fields":["A"],"rows":[[)" + deep + "]]}";
    EXPECT_TRUE(refusal(inRow).contains("64")) << refusal(inRow).toStdString();
    const QByteArray aside = R"({"fields":[],"rows":[],"x":)" + deep + "}";
    EXPECT_TRUE(refusal(aside).contains("64"));
    EXPECT_THROW(PacketCodec::ParseJson(deep), EDatabaseError);
    EXPECT_NO_THROW(PacketCodec::ParseJson(QByteArray(60, '[') + QByteArray(60, ']')));

    QByteArray huge = R"({"fields":["A"],"rows":[[")";
    huge += QByteArray(PacketCodec::MaxBytes, 'x');
    huge += R"("]]})";
    EXPECT_TRUE(refusal(huge).contains("64 MiB"));
}

TEST(PacketCodec, EncodingRefusesWhatJsonCannotCarry) {
    TDataPacket p;
    p.Fields = {{"QT", TFieldType::Float}};
    p.Rows = {{std::numeric_limits<double>::quiet_NaN()}};
    EXPECT_THROW(PacketCodec::Encode(p), EDatabaseError);
    p.Rows = {{1.0, 2.0}};
    EXPECT_THROW(PacketCodec::Encode(p), EDatabaseError);
}

} // namespace
