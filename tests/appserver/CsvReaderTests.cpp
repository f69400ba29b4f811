#include "appserver/transfer/CsvReader.h"
#include "appserver/transfer/CsvWriter.h"

#include <gtest/gtest.h>

using namespace pla;

namespace {

// Records as "a|b|c" lines, each field followed by @line:column when `places`.
QStringList flatten(const CsvDocument& d, bool places = false) {
    QStringList out;
    for (const CsvRecord& r : d.records) {
        QStringList fields;
        for (const CsvField& f : r.fields)
            fields << (places ? QStringLiteral("%1@%2:%3").arg(f.text).arg(f.line).arg(f.column)
                              : f.text);
        out << fields.join(QLatin1Char('|'));
    }
    return out;
}

TEST(CsvReaderTest, ReadsWhatSpreadsheetsWrite) {
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList records;
    } cases[] = {
        {"plain with LF", "A;B\n1;2\n", {"A|B", "1|2"}},
        {"CRLF and no final line end", "A;B\r\n1;2", {"A|B", "1|2"}},
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "A;B\r\n1;2\r\n",
         {"A|B", "1|2"}},
        {"separator inside quotes", "A;B\n\"x;y\";2\n", {"A|B", "x;y|2"}},
        {"doubled quotes", "A\n\"diz \"\"oi\"\"\"\n", {"A", "diz \"oi\""}},
        {"line break inside quotes (CRLF kept as one break)",
         "A;B\r\n\"l1\r\nl2\";2\r\n",
         {"A|B", "l1\nl2|2"}},
        {"empty fields and empty quoted field", "A;B;C\n;\"\";x\n", {"A|B|C", "||x"}},
        {"blank lines and rows of separators skipped", "A;B\n\n;\n1;2\n\r\n", {"A|B", "1|2"}},
        {"comma separator when the header has no semicolon", "A,B\n\"1,5\",2\n", {"A|B", "1,5|2"}},
        {"accents", "NOME\nFeijão à moda\n", {"NOME", "Feijão à moda"}},
    };
    for (const auto& c : cases) {
        const CsvDocument d = CsvReader::read(c.bytes);
        EXPECT_TRUE(d.problems.isEmpty()) << c.name;
        EXPECT_EQ(flatten(d), c.records) << c.name;
    }
}

TEST(CsvReaderTest, FieldsKnowTheirLineAndColumnAfterAMultiLineField) {
    const CsvDocument d = CsvReader::read("A;B\n\"x\ny\";z\nq;r\n");
    EXPECT_EQ(flatten(d, true), QStringList({"A@1:1|B@1:3", "x\ny@2:1|z@3:4", "q@4:1|r@4:3"}));
}

TEST(CsvReaderTest, UnreadableTextIsAProblemWithItsPlace) {
    const struct {
        QByteArray bytes;
        int line, column;
        const char* reason;
    } cases[] = {
        {"A;B\n1;\"aberto\n", 2, 3, "aspas sem fechamento"},
        {"A;B\n1;\"x\"y\n", 2, 6, "texto depois das aspas"},
        {"A\nok\n\xC3(\n", 3, 1, "UTF-8"},
    };
    for (const auto& c : cases) {
        const CsvDocument d = CsvReader::read(c.bytes);
        ASSERT_EQ(d.problems.size(), 1) << c.reason;
        EXPECT_EQ(d.problems[0].line, c.line) << c.reason;
        EXPECT_EQ(d.problems[0].column, c.column) << c.reason;
        EXPECT_TRUE(d.problems[0].reason.contains(QString::fromUtf8(c.reason)))
            << d.problems[0].reason.toStdString();
    }
}

TEST(CsvReaderTest, WhatTheWriterWritesReadsBackTheSame) {
    const QStringList tricky{"a;b", "diz \"oi\"", "l1\r\nl2", " margem ", "", "Feijão"};
    CsvWriter w;
    w.add({"A", "B", "C", "D", "E", "F"});
    w.add(tricky);
    const CsvDocument d = CsvReader::read(w.bytes());
    ASSERT_TRUE(d.problems.isEmpty());
    ASSERT_EQ(d.records.size(), 2);
    QStringList back;
    for (const CsvField& f : d.records[1].fields)
        back << f.text;
    QStringList expected = tricky;
    expected[2] = QStringLiteral("l1\nl2");
    EXPECT_EQ(back, expected);
}

} // namespace
