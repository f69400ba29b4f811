#include "framework/data/PacketCodec.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/DatabaseError.h"
#include "framework/data/PacketScanner.h"

#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
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

TEST(PacketCodec, FieldsAreFoundByExactNameAndRepeatedNamesCanBeRefused) {
    const TDataPacket p =
        PacketCodec::Decode(R"({"fields":["A",{"name":"b","type":"float"},"A"],"rows":[]})");
    EXPECT_EQ(p.IndexOf("A"), 0); // the first of two
    EXPECT_EQ(p.IndexOf("b"), 1);
    EXPECT_EQ(p.IndexOf("B"), -1);
    EXPECT_EQ(TDataPacket{}.IndexOf("A"), -1);

    try {
        PacketCodec::RequireDistinctNames(p);
        ADD_FAILURE() << "a repeated field was accepted";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains("'A' repetido")) << e.Message().toStdString();
    }
    // Names differing only in case are distinct columns.
    EXPECT_NO_THROW(PacketCodec::RequireDistinctNames(
        PacketCodec::Decode(R"({"fields":["a","A"],"rows":[[1,"x"]]})")));
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

TEST(PacketCodec, TheDirectWriterWritesWhatTheJsonDocumentWrites) {
    QString lone;
    lone.append(QChar(0xD800)).append(QLatin1Char('x')).append(QChar(0xDC00));
    TDataPacket p;
    p.Fields = {{"T", TFieldType::String, 40},
                {"N", TFieldType::Float},
                {"I", TFieldType::Integer},
                {"D", TFieldType::Date}};
    p.Fields.append(TPacketField{"bare", TFieldType::Float});
    p.Fields.last().Typed = false;
    const QVariant none;
    p.Rows = {
        {QString::fromUtf8("a\"b\\c\x01\x1f\x7f\n\t\r\b\f/é€😀\u2028"), 435.0, 7, QDate(2026, 12, 9),
         -0.0},
        {lone, 4e15, -9.5e15, QDate(1, 1, 1), 1e16},
        {QString(), 0.1 + 0.2, 1e21, QDate(), 5e-324},
        {none, 1.7976931348623157e308, none, none, 123456789012345678.0},
        // Around where the shortest form turns from a decimal to an exponent, both ways.
        {none, 0.0003, none, none, -0.00012},
        {none, 1.5e-5, none, none, 1.23456789e14 + 0.5},
        // Around the bounds of the five-decimal form, both ways.
        {none, 0.001, none, none, -0.00099},
        {none, 999999999.99999, none, none, 1e9 + 0.5},
        {none, -37.14286, none, none, 0.30000000000000004},
    };
    // Amounts as the screens store them, and their neighbours one double away.
    for (long long m = 1; m < 4'000'000'000LL; m = m * 7 + 3) {
        const double d = m / 1e5;
        p.Rows.append({none, d, none, none, std::nextafter(d, 0.0)});
        p.Rows.append({none, -d, none, none, std::nextafter(d, 1e300)});
    }
    p.Rows[2][3] = QVariant(); // null date
    const QByteArray tree =
        QJsonDocument(PacketCodec::ToJson(p).toObject()).toJson(QJsonDocument::Compact);
    EXPECT_EQ(PacketCodec::Encode(p), tree);
}

// The general decoder: a JSON document first, then the packet.
TDataPacket general(const QByteArray& json) {
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (err.error != QJsonParseError::NoError) throw EDatabaseError(err.errorString());
    return PacketCodec::FromJson(doc.object());
}

void expectSamePacket(const TDataPacket& a, const TDataPacket& b, const QByteArray& json) {
    ASSERT_EQ(a.Fields.size(), b.Fields.size()) << json.constData();
    for (int i = 0; i < a.Fields.size(); ++i) {
        EXPECT_EQ(a.Fields[i].Name, b.Fields[i].Name) << json.constData();
        EXPECT_EQ(a.Fields[i].Type, b.Fields[i].Type) << json.constData();
        EXPECT_EQ(a.Fields[i].Size, b.Fields[i].Size) << json.constData();
        EXPECT_EQ(a.Fields[i].Typed, b.Fields[i].Typed) << json.constData();
    }
    ASSERT_EQ(a.Rows.size(), b.Rows.size()) << json.constData();
    for (int r = 0; r < a.Rows.size(); ++r) {
        ASSERT_EQ(a.Rows[r].size(), b.Rows[r].size()) << json.constData();
        for (int c = 0; c < a.Rows[r].size(); ++c) {
            const QVariant &x = a.Rows[r][c], &y = b.Rows[r][c];
            EXPECT_EQ(x.typeId(), y.typeId()) << json.constData() << " row " << r << " col " << c;
            EXPECT_EQ(x, y) << json.constData() << " row " << r << " col " << c;
            if (x.typeId() == QMetaType::Double && y.typeId() == QMetaType::Double) {
                EXPECT_EQ(std::signbit(x.toDouble()), std::signbit(y.toDouble()))
                    << json.constData();
            }
        }
    }
}

TEST(PacketCodec, TheDirectReadingGivesWhatTheGeneralDecoderGives) {
    // Forms the direct reading takes: every type, null, escapes, non-ASCII text, numbers in
    // every notation, white space, repeated texts, fields in any member order.
    const QByteArray read[] = {
        PacketCodec::Encode(
            {{{"CDFILIAL", TFieldType::String, 4},
              {"QTPRATO", TFieldType::Float},
              {"NRSEQ", TFieldType::Integer},
              {"DTCARD", TFieldType::Date}},
             {{QStringLiteral("0001"), 2.5, 7, QDate(2026, 12, 8)},
              {QStringLiteral("0001"), -0.125, -2147483647 - 1, QDate(1999, 1, 31)},
              {QStringLiteral("Ação \"x\" \\ /\n\t"), QVariant(), QVariant(), QVariant()},
              {QString(), 1e300, 2147483647, QDate(2024, 2, 29)}}}),
        R"( { "fields" : [ { "type" : "float" , "name" : "A" } , {"size":3.0,"name":"B","type":"string"} ] ,
            "rows" : [ [ -0 , "x" ] , [-0.0,"x"], [1E2, "à"], [12345678901234567, "\/\b\f\r"],
                       [0.1e-5, "ação"], [123456789012345678, "ação"], [0, ""], [null, null] ] } )",
        R"({"fields":[{"name":"I","type":"integer"}],"rows":[[3.0],[-0],[1e3],[2147483647]]})",
        R"({"fields":[],"rows":[[],[]]})",
    };
    for (const QByteArray& json : read) {
        const std::optional<TDataPacket> direct = pla::PacketScanner::TryRead(json);
        EXPECT_TRUE(direct.has_value()) << json.constData();
        if (direct) expectSamePacket(*direct, general(json), json);
        expectSamePacket(PacketCodec::Decode(json), general(json), json);
    }

    // Forms it leaves to the general decoder, which then gives its own answer, refusal or
    // packet, as before.
    const QByteArray declined[] = {
        R"({"fields":["A"],"rows":[[1]]})",                               // bare name
        R"({"fields":[{"name":"A"}],"rows":[[1]]})",                      // no type
        R"({"rows":[[1]],"fields":[{"name":"A","type":"float"}]})",       // rows first
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[1]],"x":1})", // another member
        R"({"fields":[{"name":"A","type":"float","x":1}],"rows":[]})",
        R"({"fields":[{"name":"A","type":"float","name":"B"}],"rows":[]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[["\u0041"]]})",
        "{\"fields\":[{\"name\":\"A\",\"type\":\"string\"}],\"rows\":[[\"\xc3\x28\"]]}",
        "{\"fields\":[{\"name\":\"A\",\"type\":\"string\"}],\"rows\":[[\"a\tb\"]]}",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[1e400]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[1e-400]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[4e-320]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[01]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[+1]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[.5]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[1.]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[1234567890123456789]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[true]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[["1"]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[1,2]]})",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[1]]} x)",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[nul]]})",
        R"({"fields":[{"name":"A","type":"integer"}],"rows":[[2147483648]]})",
        R"({"fields":[{"name":"A","type":"integer"}],"rows":[[0.5]]})",
        R"({"fields":[{"name":"A","type":"date"}],"rows":[["2026-02-30"]]})",
        R"({"fields":[{"name":"A","type":"date"}],"rows":[["2026/02/03"]]})",
        R"({"fields":[{"name":"A","type":"date"}],"rows":[["0000-01-01"]]})",
        R"({"fields":[{"name":"","type":"float"}],"rows":[]})",
        R"({"fields":[{"name":"A","type":"float","size":-1}],"rows":[]})",
        R"({"fields":[{"name":"A","type":"float","size":1.5}],"rows":[]})",
        "\xef\xbb\xbf{\"fields\":[],\"rows\":[]}",
        R"({"fields":[{"name":"A","type":"float"}],"rows":[[1])",
    };
    for (const QByteArray& json : declined) {
        EXPECT_FALSE(pla::PacketScanner::TryRead(json).has_value()) << json.constData();
        QString generalRefusal, decodeRefusal;
        TDataPacket g, d;
        try {
            g = general(json);
        } catch (const EDatabaseError& e) {
            generalRefusal = e.Message();
        }
        try {
            d = PacketCodec::Decode(json);
        } catch (const EDatabaseError& e) {
            decodeRefusal = e.Message();
        }
        EXPECT_EQ(generalRefusal.isEmpty(), decodeRefusal.isEmpty()) << json.constData();
        if (generalRefusal.isEmpty() && decodeRefusal.isEmpty()) expectSamePacket(d, g, json);
    }
}

TEST(PacketCodec, ALoadedPacketIsCutAndConvertedToTheSetsFields) {
    TClientDataSet ds("cdsTeste");
    ds.AddField({.Name = "NMPRATO", .Type = TFieldType::String, .Size = 5});
    ds.AddField({.Name = "QTPRATO", .Type = TFieldType::Integer});
    ds.AddField({.Name = "VLPRECO", .Type = TFieldType::Float});
    ds.SetData(PacketCodec::Decode(
        R"({"fields":[{"name":"NMPRATO","type":"string"},{"name":"QTPRATO","type":"float"},)"
        R"({"name":"VLPRECO","type":"integer"}],"rows":[["Feijoada",2,3],["Sopa",null,null]]})"));
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "Feijo");
    EXPECT_EQ(ds.FieldByName("QTPRATO").Value().typeId(), QMetaType::Int);
    EXPECT_EQ(ds.FieldByName("VLPRECO").Value().typeId(), QMetaType::Double);
    ds.Next();
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "Sopa");
    EXPECT_TRUE(ds.FieldByName("QTPRATO").IsNull());
    // A text that is no number refuses to go into a number field; nothing changes.
    EXPECT_THROW(ds.SetData(PacketCodec::Decode(
                     R"({"fields":[{"name":"QTPRATO","type":"string"}],"rows":[["três"]]})")),
                 EDatabaseError);
    EXPECT_EQ(ds.RecordCount(), 2);
}

} // namespace
