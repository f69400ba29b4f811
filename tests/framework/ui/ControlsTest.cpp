#include "framework/data/Abort.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/data/DatabaseError.h"
#include "framework/ui/Colors.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/EConvertError.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBMemo.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TMessages.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

void Type(TForm& form, const QString& text) {
    for (QChar c : text)
        form.DeliverChar(c);
}

TEST(Combo, ChangeFiresOnlyOnTheUsersChoice) {
    TForm form;
    auto* cmb = new TComboBox(&form);
    cmb->SetParent(&form);
    int changes = 0;
    cmb->OnChange = [&](TComponent&) { ++changes; };
    cmb->SetItems({QString(), QStringLiteral("Hospitais"), QStringLiteral("Escolas")});
    cmb->SetItemIndex(1);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(cmb->Text(), QStringLiteral("Hospitais"));

    form.Show();
    EXPECT_TRUE(cmb->UserSelectText(QStringLiteral("Escolas")));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(cmb->ItemIndex(), 2);
    EXPECT_TRUE(cmb->UserSelect(2)); // choosing the same item again is still a choice
    EXPECT_EQ(changes, 2);
    form.DeliverKey(VK_UP);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(cmb->ItemIndex(), 1);
    EXPECT_FALSE(cmb->UserSelectText(QStringLiteral("Creches")));
    EXPECT_FALSE(cmb->UserSelect(7));
    cmb->Clear();
    EXPECT_EQ(cmb->ItemIndex(), -1);
    EXPECT_EQ(cmb->Text(), QString());
    cmb->SetEnabled(false);
    EXPECT_FALSE(cmb->UserSelect(0));
    EXPECT_EQ(changes, 3);
}

TEST(Edit, ChangeFiresForCodeAndTypingButNotForTheSameText) {
    TForm form;
    auto* edt = new TEdit(&form);
    edt->SetParent(&form);
    QStringList seen;
    edt->OnChange = [&](TComponent&) { seen << edt->Text(); };
    edt->SetText(QStringLiteral("0001"));
    edt->SetText(QStringLiteral("0001"));
    EXPECT_EQ(seen, QStringList({"0001"}));

    edt->SetMaxLength(4);
    edt->SetCharCase(TEditCharCase::ecUpperCase);
    form.Show(); // focus selects the whole text: typing replaces it
    Type(form, QStringLiteral("ab"));
    EXPECT_EQ(edt->Text(), QStringLiteral("AB"));
    Type(form, QStringLiteral("cde")); // the fifth character does not fit
    EXPECT_EQ(edt->Text(), QStringLiteral("ABCD"));
    EXPECT_EQ(seen, QStringList({"0001", "A", "AB", "ABC", "ABCD"}));
    EXPECT_TRUE(edt->UserClear());
    EXPECT_EQ(edt->Text(), QString());

    edt->SetReadOnly(true);
    Type(form, QStringLiteral("x"));
    EXPECT_EQ(edt->Text(), QString());
    EXPECT_FALSE(edt->UserClear());
}

TEST(Edit, MaskAcceptsOnlyItsCharactersInUpperCase) {
    TForm form;
    auto* edt = new TEdit(&form);
    edt->SetParent(&form);
    edt->SetEditMask(QStringLiteral(">aaaa;0; "));
    form.Show();
    Type(form, QStringLiteral("a-b1c9"));
    EXPECT_EQ(edt->Text(), QStringLiteral("AB1C"));
    form.DeliverKey(VK_LEFT);
    form.DeliverKey(VK_DELETE);
    EXPECT_EQ(edt->Text(), QStringLiteral("AB1"));
}

TEST(DateEdit, TextDatesWeekDaysAndValidity) {
    TForm form;
    auto* dep = new TDateEditPlus(&form);
    dep->SetParent(&form);
    QStringList days;
    dep->OnDateChange = [&](TComponent&) { days << dep->WeekDayName(); };
    dep->SetDate(QDate(2026, 12, 6)); // a Sunday
    EXPECT_EQ(dep->Text(), QStringLiteral("06/12/2026"));
    EXPECT_EQ(dep->Font().Color, clBlue);
    form.Show();
    Type(form, QStringLiteral("12122026")); // slashes filled in
    EXPECT_EQ(dep->Text(), QStringLiteral("12/12/2026"));
    EXPECT_EQ(dep->GetDate(), QDate(2026, 12, 12));
    // Typing over the date loses it for a moment: reported too, with no week day.
    EXPECT_EQ(days, QStringList({QStringLiteral("Domingo"), QString(), QStringLiteral("Sábado")}));
    EXPECT_EQ(TDateEditPlus::DayName(3), QStringLiteral("Terça"));

    dep->SetText(QStringLiteral("31/02/2026"));
    EXPECT_FALSE(dep->GetDate().isValid());
    EXPECT_NE(dep->Font().Color, clBlue);
    EXPECT_THROW(dep->CheckValidDate(), EConvertError);
    dep->SetText(QString());
    EXPECT_NO_THROW(dep->CheckValidDate());
    EXPECT_TRUE(dep->IsEmpty());
}

TEST(CheckBox, ClickAndCodeChangesFireOnClick) {
    TForm form;
    auto* chb = new TCheckBox(&form);
    chb->SetParent(&form);
    int clicks = 0;
    chb->OnClick = [&](TComponent&) { ++clicks; };
    chb->SetChecked(false); // no change, no event
    EXPECT_EQ(clicks, 0);
    form.Show();
    EXPECT_TRUE(chb->UserClick());
    EXPECT_TRUE(chb->Checked());
    form.DeliverKey(VK_SPACE);
    EXPECT_FALSE(chb->Checked());
    EXPECT_EQ(clicks, 2);
}

TEST(Messages, KeysGiveTheirTextOrNothing) {
    TMessages msg(nullptr);
    msg.SetLines({QStringLiteral("EMB|Embalagens"), QStringLiteral("ERRO|Texto com | barra"),
                  QStringLiteral("sem barra"), QStringLiteral("EMB|repetida")});
    EXPECT_EQ(msg.Msg(QStringLiteral("EMB")), QStringLiteral("Embalagens"));
    EXPECT_EQ(msg.Msg(QStringLiteral("ERRO")), QStringLiteral("Texto com | barra"));
    EXPECT_EQ(msg.Msg(QStringLiteral("PROPOSITO_")), QString());
    EXPECT_EQ(msg.Msg(QStringLiteral("emb")), QString());
}

TEST(Dispatch, AbortIsSilentOtherErrorsReachTheHandler) {
    EXPECT_FALSE(pla::Dispatch([] { throw Abort(); }));
    EXPECT_THROW(pla::Dispatch([] { throw std::runtime_error("x"); }), std::runtime_error);
    QString shown;
    pla::SetErrorHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& ex) {
            shown = QString::fromStdString(ex.what());
        }
    });
    EXPECT_FALSE(pla::Dispatch([] { throw std::runtime_error("falhou"); }));
    EXPECT_EQ(shown, QStringLiteral("falhou"));
    EXPECT_TRUE(pla::Dispatch([] {}));
    pla::SetErrorHandler(nullptr);
}

// ------------------------------------------------------------------ data-aware edit

struct DishSet {
    TClientDataSet cds{QStringLiteral("cdsCardapio")};
    TDataSource dts{QStringLiteral("dts"), &cds};
    DishSet() {
        cds.AddField({QStringLiteral("NMPRATO"), TFieldType::String, 10});
        cds.AddField({QStringLiteral("QTPORPESSOA"), TFieldType::Float});
        cds.CreateDataSet();
        cds.Append();
        cds.FieldByName(QStringLiteral("NMPRATO")).SetAsString(QStringLiteral("Arroz"));
        cds.FieldByName(QStringLiteral("QTPORPESSOA")).SetAsFloat(0.15);
        cds.Post();
    }
};

TEST(DBEdit, TypingEditsTheRecordUnlessTheGuardRefuses) {
    DishSet data;
    TForm form;
    auto* dbe = new TDBEdit(&form);
    dbe->SetParent(&form);
    auto* other = new TEdit(&form);
    other->SetParent(&form);
    dbe->SetDataSource(&data.dts);
    dbe->SetDataField(QStringLiteral("QTPORPESSOA"));
    EXPECT_EQ(dbe->Text(), QStringLiteral("0,15"));

    bool refuse = true;
    data.cds.BeforeEdit = [&](TClientDataSet&) {
        if (refuse) throw Abort();
    };
    form.Show();
    EXPECT_FALSE(pla::Dispatch([&] { form.DeliverChar(QLatin1Char('2')); }));
    EXPECT_EQ(dbe->Text(), QStringLiteral("0,15"));
    EXPECT_EQ(data.cds.State(), TDataSetState::Browse);

    refuse = false;
    Type(form, QStringLiteral("0,2"));
    EXPECT_EQ(data.cds.State(), TDataSetState::Edit);
    // The field follows what is shown, so a post without leaving the edit stores it.
    EXPECT_DOUBLE_EQ(data.cds.FieldByName(QStringLiteral("QTPORPESSOA")).AsFloat(), 0.2);

    // A text the field cannot read is refused when the edit is left; the focus stays.
    dbe->SetText(QString());
    Type(form, QStringLiteral(","));
    EXPECT_THROW(other->SetFocus(), std::exception);
    EXPECT_EQ(form.ActiveControl(), dbe);
}

TEST(DBEdit, APostFromCodeTakesTheTypedTextOrStopsAtItsRefusal) {
    DishSet data;
    TForm form;
    auto* memo = new TDBMemo(&form);
    memo->SetParent(&form);
    memo->SetDataSource(&data.dts);
    memo->SetDataField(QStringLiteral("NMPRATO"));
    auto* dbe = new TDBEdit(&form);
    dbe->SetParent(&form);
    dbe->SetDataSource(&data.dts);
    dbe->SetDataField(QStringLiteral("QTPORPESSOA"));
    form.Show();
    ASSERT_EQ(form.ActiveControl(), memo);

    // Typed into a new record and posted by code with the focus still in the memo.
    data.cds.Append();
    Type(form, QStringLiteral("Feijão"));
    data.cds.Post();
    EXPECT_EQ(data.cds.State(), TDataSetState::Browse);
    ASSERT_EQ(data.cds.RecordCount(), 2);
    EXPECT_EQ(data.cds.FieldByName(QStringLiteral("NMPRATO")).AsString(), QStringLiteral("Feijão"));

    // A number the field cannot read stops the post with the field's message; nothing moves.
    dbe->SetFocus();
    dbe->SelectAll();
    Type(form, QStringLiteral("1,5,"));
    bool beforePost = false;
    data.cds.BeforePost = [&](TClientDataSet&) { beforePost = true; };
    try {
        data.cds.Post();
        ADD_FAILURE() << "the post went through";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'1,5,' não é um valor numérico válido para o campo "
                                              "'QTPORPESSOA'."));
    }
    EXPECT_FALSE(beforePost);
    EXPECT_EQ(data.cds.State(), TDataSetState::Edit);
    EXPECT_EQ(dbe->Text(), QStringLiteral("1,5,"));
    // A change of another field from code keeps the typed text, which still stops the post.
    data.cds.FieldByName(QStringLiteral("NMPRATO")).SetAsString(QStringLiteral("Feijoada"));
    EXPECT_EQ(dbe->Text(), QStringLiteral("1,5,"));
    EXPECT_THROW(data.cds.Post(), EDatabaseError);

    // Corrected, the post goes through with the corrected number.
    form.DeliverKey(VK_BACK);
    data.cds.Post();
    EXPECT_TRUE(beforePost);
    EXPECT_DOUBLE_EQ(data.cds.FieldByName(QStringLiteral("QTPORPESSOA")).AsFloat(), 1.5);
    EXPECT_EQ(data.cds.FieldByName(QStringLiteral("NMPRATO")).AsString(),
              QStringLiteral("Feijoada"));
}

} // namespace
