#include "host/scenario/ScenarioScript.h"

#include "host/scenario/KeyNames.h"

#include <gtest/gtest.h>

using pla::ScenarioScript;

TEST(ScenarioScriptTest, QuotesCommentsAndEscapesSplitAsWritten) {
    const auto lines =
        ScenarioScript::Parse("# a comment line\n"
                              "\n"
                              "type edtCdFilial \"ab c\"   # trailing comment\n"
                              "expect items cmbFiltroGrupo \"\" Hospitais \"Escolas # 2\"\r\n"
                              "expect message \"Clique em \\\"Redistribuir\\\" já\"\n"
                              "expect message \"Linha 1\\nLinha 2\"\n",
                              QStringLiteral("f.scn"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].number, 3);
    EXPECT_EQ(lines[0].words, (QStringList{"type", "edtCdFilial", "ab c"}));
    EXPECT_EQ(lines[1].words,
              (QStringList{"expect", "items", "cmbFiltroGrupo", "", "Hospitais", "Escolas # 2"}));
    EXPECT_EQ(lines[2].RestAfter(2), QStringLiteral("Clique em \"Redistribuir\" já"));
    EXPECT_EQ(lines[3].RestAfter(2), QStringLiteral("Linha 1\nLinha 2"));
}

TEST(ScenarioScriptTest, UnquotedTextIsTheRestOfTheLine) {
    const auto line = ScenarioScript::ParseLine(
        QStringLiteral("expect message Filial deve ser informada."), 1, QStringLiteral("f"));
    EXPECT_EQ(line.RestAfter(2), QStringLiteral("Filial deve ser informada."));
    const auto quotedFirst = ScenarioScript::ParseLine(QStringLiteral("expect text \"a b\" c d"), 1,
                                                       QStringLiteral("f"));
    EXPECT_EQ(quotedFirst.RestAfter(3), QStringLiteral("c d"));
}

TEST(ScenarioScriptTest, AnOpenQuoteNamesFileAndLine) {
    try {
        ScenarioScript::Parse("open\ntype edtCdFilial \"ab\n", QStringLiteral("x.scn"));
        FAIL() << "no error";
    } catch (const pla::ScenarioSyntaxError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("x.scn:2: aspas sem fechamento"));
    }
}

TEST(ScenarioScriptTest, KeyNamesWithModifiers) {
    int key = 0;
    TShiftState shift = ssNone;
    ASSERT_TRUE(pla::ParseKeyName(QStringLiteral("Ctrl+Delete"), key, shift));
    EXPECT_EQ(key, VK_DELETE);
    EXPECT_EQ(shift, ssCtrl);
    ASSERT_TRUE(pla::ParseKeyName(QStringLiteral("ctrl+shift+g"), key, shift));
    EXPECT_EQ(key, int('G'));
    EXPECT_EQ(shift, ssCtrl | ssShift);
    ASSERT_TRUE(pla::ParseKeyName(QStringLiteral("F12"), key, shift));
    EXPECT_EQ(key, VK_F12);
    EXPECT_FALSE(pla::ParseKeyName(QStringLiteral("Hyper+A"), key, shift));
    EXPECT_FALSE(pla::ParseKeyName(QStringLiteral("F13"), key, shift));
    EXPECT_FALSE(pla::ParseKeyName(QStringLiteral("Ctrl+"), key, shift));
}
