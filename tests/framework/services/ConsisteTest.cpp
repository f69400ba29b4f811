#include "framework/services/Consiste.h"

#include "framework/data/Abort.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/data/Field.h"
#include "framework/net/NetConnection.h"
#include "framework/services/ScriptedDialogs.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TPanel.h"

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

class WithDialogs : public ::testing::Test {
protected:
    void SetUp() override { pla::SetDialogService(&dialogs); }
    void TearDown() override { pla::SetDialogService(nullptr); }
    pla::ScriptedDialogs dialogs;
};

} // namespace

TEST(Ajusta, NormalisesCodesToTheirWidth) {
    EXPECT_EQ(Consiste::Ajusta("1", 4), "0001");
    EXPECT_EQ(Consiste::Ajusta("12", 5), "00012");
    EXPECT_EQ(Consiste::Ajusta(" 12 ", 4), "0012");
    EXPECT_EQ(Consiste::Ajusta("0001", 4), "0001");
    EXPECT_EQ(Consiste::Ajusta("zz", 4), "ZZ");
    EXPECT_EQ(Consiste::Ajusta("a1", 4), "A1");
    EXPECT_EQ(Consiste::Ajusta("1 2", 4), "1 2");
    EXPECT_EQ(Consiste::Ajusta("12345", 4), "12345");
    EXPECT_EQ(Consiste::Ajusta(" abcdef ", 4), "ABCDEF");
    EXPECT_EQ(Consiste::Ajusta("", 4), "");
    EXPECT_EQ(Consiste::Ajusta("   ", 4), "");
    // Only the ASCII digits are padded: other scripts' digits are not codes.
    EXPECT_EQ(Consiste::Ajusta(QString::fromUtf8("١٢"), 4), QString::fromUtf8("١٢"));
}

TEST(DiaSemana, NamesTheDaysFromSunday) {
    const char* names[] = {"Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado"};
    for (int d = 1; d <= 7; ++d)
        EXPECT_EQ(Consiste::DiaSemana(QString::number(d)), QString::fromUtf8(names[d - 1]));
    for (const char* bad : {"0", "8", "", "x", "12"})
        EXPECT_EQ(Consiste::DiaSemana(bad), QString()) << bad;
}

TEST(EmptyString, BlanksCountAsEmpty) {
    EXPECT_TRUE(Consiste::EmptyString(""));
    EXPECT_TRUE(Consiste::EmptyString(" \t "));
    EXPECT_FALSE(Consiste::EmptyString(" a "));
}

using CheckResultServ = WithDialogs;

TEST_F(CheckResultServ, SuccessYieldsThePayloadSilently) {
    const QJsonArray payload{QStringLiteral(""), QJsonObject{{"rows", QJsonArray{}}}};
    EXPECT_EQ(Consiste::CheckResultServ(QJsonObject{{"ok", true}, {"data", payload}}, true, 0),
              QJsonValue(payload));
    EXPECT_TRUE(Consiste::CheckResultServ(QJsonObject{{"ok", true}}, true, 0).isNull());
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(CheckResultServ, RefusalShowsTheServersTextAndAborts) {
    EXPECT_THROW(Consiste::CheckResultServ(
                     QJsonObject{{"ok", false}, {"message", "Servidor indisponível"}}, true, 0),
                 Abort);
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_EQ(dialogs.Messages()[0].type, pla::MsgDlgType::Error);
    EXPECT_EQ(dialogs.Messages()[0].text, QStringLiteral("Servidor indisponível"));
}

TEST_F(CheckResultServ, MalformedResultIsARefusalToo) {
    for (const QJsonValue& raw :
         {QJsonValue(), QJsonValue(QJsonArray{1}), QJsonValue(QJsonObject{{"data", 1}})}) {
        EXPECT_THROW(Consiste::CheckResultServ(raw, true, 0), Abort);
    }
    ASSERT_EQ(dialogs.Messages().size(), 3);
    EXPECT_FALSE(dialogs.Messages()[0].text.isEmpty());
}

TEST_F(CheckResultServ, WithoutShowingItStillAborts) {
    EXPECT_THROW(Consiste::CheckResultServ(QJsonObject{{"ok", false}, {"message", "x"}}, false, 0),
                 Abort);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(CheckResultServ, AnUnreachableServerEndsTheActionWithItsAddress) {
    TNetConnection c;
    c.Host = QStringLiteral("127.0.0.1");
    c.Port = 1; // nobody listens on a privileged port here
    EXPECT_THROW(Consiste::CheckResultServ(c.Call(QStringLiteral("GetServicos")), true, 0), Abort);
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_TRUE(dialogs.Messages()[0].text.contains(QStringLiteral("127.0.0.1:1")));
}

using MensErro = WithDialogs;

TEST_F(MensErro, ShowsTheErrorThenEndsTheActionSilently) {
    bool after = false;
    try {
        Consiste::MensErro(QStringLiteral("Filial deve ser informada."), true);
        after = true;
    } catch (const Abort&) {
    }
    EXPECT_FALSE(after);
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_EQ(dialogs.Messages()[0].type, pla::MsgDlgType::Error);
    EXPECT_EQ(dialogs.Messages()[0].text, QStringLiteral("Filial deve ser informada."));

    EXPECT_NO_THROW(Consiste::MensErro(QStringLiteral("só aviso"), false));
    EXPECT_EQ(dialogs.Messages().size(), 2);
}

TEST(SetChildEnabled, ReachesEveryControlAtAnyDepth) {
    TPanel outer(nullptr);
    auto* inner = new TPanel(&outer);
    inner->SetParent(&outer);
    auto* a = new TEdit(&outer);
    a->SetParent(&outer);
    auto* b = new TEdit(&outer);
    b->SetParent(inner);
    b->SetEnabled(false);

    Consiste::SetChildEnabled(outer, false);
    for (TControl* c : {static_cast<TControl*>(&outer), static_cast<TControl*>(inner),
                        static_cast<TControl*>(a), static_cast<TControl*>(b)})
        EXPECT_FALSE(c->Enabled());
    Consiste::SetChildEnabled(outer, true);
    for (TControl* c : {static_cast<TControl*>(&outer), static_cast<TControl*>(inner),
                        static_cast<TControl*>(a), static_cast<TControl*>(b)})
        EXPECT_TRUE(c->Enabled());
}

TEST(GridHelpers, FindColumnsAndReadTheCellText) {
    TClientDataSet ds(QStringLiteral("cdsEmbDistCard"));
    TFieldDef code;
    code.Name = QStringLiteral("CDCONTAINER");
    code.Size = 5;
    ds.AddField(code);
    TFieldDef units;
    units.Name = QStringLiteral("QTCONTAINER");
    units.Type = TFieldType::Integer;
    ds.AddField(units);
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName(QStringLiteral("CDCONTAINER")).SetAsString(QStringLiteral("00012"));
    ds.FieldByName(QStringLiteral("QTCONTAINER")).SetAsInteger(34);
    ds.Post();
    TDataSource src(QStringLiteral("dtsEmbDistCard"), &ds);
    TDBGrid grid(nullptr);
    grid.SetDataSource(&src);
    grid.AddColumn(QStringLiteral("CDCONTAINER"));
    grid.AddColumn(QStringLiteral("QTCONTAINER"));

    EXPECT_EQ(Consiste::IndiceCol(grid, QStringLiteral("QTCONTAINER")), 1);
    EXPECT_EQ(Consiste::IndiceCol(grid, QStringLiteral("cdcontainer")), 0);
    EXPECT_EQ(Consiste::IndiceCol(grid, QStringLiteral("NMCONTAINER")), -1);

    EXPECT_EQ(Consiste::GridText(grid, QStringLiteral("QTCONTAINER"), false), QStringLiteral("34"));
    EXPECT_EQ(Consiste::GridText(grid, QStringLiteral("CDCONTAINER"), false),
              QStringLiteral("00012"));
    EXPECT_EQ(Consiste::GridText(grid, QStringLiteral("NMCONTAINER"), false), QString());

    // While the user types in the cell, the text is the editor's, not yet the field's.
    grid.SetSelectedIndex(1);
    for (QChar ch : QStringLiteral("7")) {
        grid.KeyPress(ch);
    }
    ASSERT_TRUE(grid.EditorModified());
    EXPECT_EQ(Consiste::GridText(grid, QStringLiteral("QTCONTAINER"), false), grid.EditorText());
    EXPECT_NE(Consiste::GridText(grid, QStringLiteral("QTCONTAINER"), false), QStringLiteral("34"));
    EXPECT_EQ(ds.FieldByName(QStringLiteral("QTCONTAINER")).AsInteger(), 34);
}
