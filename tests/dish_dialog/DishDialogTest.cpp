#include "dish_dialog/CriaDadosPrato.h"
#include "dish_dialog/DadosPrato.h"
#include "framework/services/ScriptedDialogs.h"
#include "framework/ui/Colors.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/FormHost.h"
#include "framework/ui/Keys.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

// Plays the user while the dialog is open: each modal run takes the next script.
class ScriptedHost : public pla::FormHost {
public:
    std::deque<std::function<void(TfrmDadosPrato&)>> scripts;
    int runs = 0;
    void Show(TForm&) override {}
    void Close(TForm&) override {}
    int RunModal(TForm& form) override {
        ++runs;
        if (!scripts.empty()) {
            auto script = std::move(scripts.front());
            scripts.pop_front();
            script(dynamic_cast<TfrmDadosPrato&>(form));
        }
        return mrNone; // a script that does not close the dialog leaves it as cancelled
    }
};

class DishDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        pla::SetDialogService(&dialogs);
        pla::SetFormHost(&host);
        // What the front end does with a failure nobody caught: an error box.
        pla::SetErrorHandler([this](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                dialogs.MessageBox(QString::fromUtf8(e.what()), pla::MsgDlgType::Error, pla::mbOK);
            }
        });
    }
    void TearDown() override {
        pla::DestroyDadosPrato();
        pla::SetErrorHandler({});
        pla::SetFormHost(nullptr);
        pla::SetDialogService(nullptr);
    }

    // The user actions, each one dispatched as the front end does.
    static void Focus(TWinControl* c) {
        pla::Dispatch([&] { c->ParentForm()->FocusControl(c); });
    }
    static void Type(TEdit* e, const QString& text) {
        TForm* form = e->ParentForm();
        if (form->ActiveControl() != e) Focus(e);
        for (QChar ch : text) {
            if (form->ActiveControl() != e) return;
            pla::Dispatch([&] { form->DeliverChar(ch); });
        }
    }
    static void Clear(TEdit* e) {
        if (e->ParentForm()->ActiveControl() != e) Focus(e);
        pla::Dispatch([&] { e->UserClear(); });
    }
    // Empties the edit and types text, wherever the focus was.
    static void Retype(TEdit* e, const QString& text) {
        Clear(e);
        Type(e, text);
    }
    static void Click(TControl* c) {
        pla::Dispatch([&] { c->UserClick(); });
    }
    QString NextMessage() {
        auto m = dialogs.TakeMessage();
        return m ? m->text : QString();
    }

    pla::ScriptedDialogs dialogs;
    ScriptedHost host;
    // The standard dish: 10 diners, 2,5 KG, no extra, 0,25 KG per person.
    double diners = 10, quantity = 2.5, extra = 0;
};

TEST_F(DishDialogTest, OpeningShowsTheAmountsAndIsReusedWithFreshState) {
    host.scripts.push_back([](TfrmDadosPrato& f) {
        EXPECT_EQ(f.Caption(), QStringLiteral("Dados do Prato"));
        EXPECT_EQ(f.lblCodTela->Caption(), QStringLiteral("PLA15410"));
        EXPECT_FALSE(f.sbtHelp->Visible());
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("10,00000"));
        EXPECT_EQ(f.edtPrato->Text(), QStringLiteral("2,50000"));
        EXPECT_EQ(f.edtExtra->Text(), QStringLiteral("0,00000"));
        EXPECT_FALSE(f.edtExtra->Enabled());
        EXPECT_EQ(f.edtExtra->Color(), clBtnFace);
        EXPECT_EQ(f.edtPrato->Color(), clWindow);
        EXPECT_EQ(f.lblUnidade->Caption(), QStringLiteral("KG"));
        EXPECT_EQ(f.lblUnidadeExtra->Caption(), QStringLiteral("KG"));
        EXPECT_FALSE(f.ComensaisChanged() || f.PratoChanged());
        // The keyboard starts at the top, on the diners, below the dish it is about.
        EXPECT_EQ(f.ActiveControl(), f.edtComensais);
        EXPECT_EQ(f.grbDadosRel->Caption(), QStringLiteral("P1 - Arroz"));
        Type(f.edtComensais, QStringLiteral("3"));
        Click(f.sbtCancel);
    });
    EXPECT_FALSE(CriaDadosPrato(diners, quantity, QStringLiteral("KG"), extra, 0.25,
                                QStringLiteral("P1 - Arroz")));
    EXPECT_EQ(diners, 10); // cancelled: untouched
    EXPECT_EQ(quantity, 2.5);
    TfrmDadosPrato* first = frmDadosPrato;
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->Showing());

    // The same instance, re-initialised: a non-zero extra opens its edit again, the edits
    // show the new amounts (rounded, never above the amount: 1,2345678 offers 1,23456), and
    // nothing typed before survives.
    double d = 4, q = 1.2345678, e = 0.5;
    host.scripts.push_back([](TfrmDadosPrato& f) {
        EXPECT_TRUE(f.edtExtra->Enabled());
        EXPECT_EQ(f.edtExtra->Color(), clWindow);
        EXPECT_EQ(f.ActiveControl(), f.edtComensais);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("4,00000"));
        EXPECT_EQ(f.edtPrato->Text(), QStringLiteral("1,23456"));
        EXPECT_EQ(f.lblUnidade->Caption(), QStringLiteral("LT"));
        EXPECT_FALSE(f.ComensaisChanged());
        Click(f.sbtConfirma);
    });
    EXPECT_TRUE(CriaDadosPrato(d, q, QStringLiteral("LT"), e, 0.3));
    EXPECT_EQ(frmDadosPrato, first);
    EXPECT_EQ(q, 1.23456);
    EXPECT_EQ(host.runs, 2);
}

TEST_F(DishDialogTest, DinersAndQuantityFollowEachOtherThroughTheQuantityPerPerson) {
    host.scripts.push_back([](TfrmDadosPrato& f) {
        Type(f.edtComensais, QStringLiteral("4"));
        Focus(f.edtPrato);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("4,00000"));
        EXPECT_EQ(f.edtPrato->Text(), QStringLiteral("1,00000"));
        EXPECT_TRUE(f.PratoChanged()); // written by the recomputation
        // The whole diners give the whole quantity, in the general format.
        Type(f.edtComensais, QStringLiteral("10"));
        Focus(f.edtExtra->Enabled() ? f.edtExtra : f.edtPrato);
        EXPECT_EQ(f.edtPrato->Text(), QStringLiteral("2,5"));

        Type(f.edtPrato, QStringLiteral("1"));
        Focus(f.edtComensais);
        EXPECT_EQ(f.edtPrato->Text(), QStringLiteral("1,00000"));
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("4,00000"));
        Type(f.edtPrato, QStringLiteral("2,5"));
        Focus(f.edtComensais);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("10"));

        // A sixth decimal is rounded away when the edit is left.
        Type(f.edtComensais, QStringLiteral("2,123456"));
        Focus(f.edtPrato);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("2,12346"));
        EXPECT_EQ(f.edtPrato->Text(), QStringLiteral("0,53087")); // 2,12346 × 0,25
        Click(f.sbtConfirma);
    });
    EXPECT_TRUE(CriaDadosPrato(diners, quantity, QStringLiteral("KG"), extra, 0.25));
    // Confirming ran the quantity's pending rule: the diners are those of the quantity.
    EXPECT_DOUBLE_EQ(quantity, 0.53087);
    EXPECT_DOUBLE_EQ(diners, 2.12348);
}

TEST_F(DishDialogTest, ConfirmingKeepsAQuantityTypedAfterARecomputation) {
    extra = 1;
    host.scripts.push_back([](TfrmDadosPrato& f) {
        Retype(f.edtPrato, QStringLiteral("1"));
        Focus(f.edtExtra); // the diners are recomputed from 1 and marked changed
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("4,00000"));
        Retype(f.edtPrato, QStringLiteral("2"));
        Click(f.sbtConfirma); // must not bring back the quantity of the old diners
    });
    EXPECT_TRUE(CriaDadosPrato(diners, quantity, QStringLiteral("KG"), extra, 0.25));
    EXPECT_EQ(quantity, 2);
    EXPECT_EQ(diners, 8);
}

TEST_F(DishDialogTest, OnlyDigitsAndOneCommaCanBeTyped) {
    host.scripts.push_back([](TfrmDadosPrato& f) {
        for (TEdit* e : {f.edtComensais, f.edtPrato, f.edtExtra}) {
            Type(e, QStringLiteral("1,2,3.4-5a+6"));
            EXPECT_EQ(e->Text(), QStringLiteral("1,23456")) << e->Name().toStdString();
            pla::Dispatch([&] { f.DeliverKey(VK_BACK); });
            EXPECT_EQ(e->Text(), QStringLiteral("1,2345"));
        }
        Click(f.sbtCancel);
    });
    extra = 9;
    EXPECT_FALSE(CriaDadosPrato(diners, quantity, QStringLiteral("KG"), extra, 0.25));
}

TEST_F(DishDialogTest, ConfirmationRefusesAmountsAboveTheirMaximaWithTheFocusThere) {
    extra = 1.5;
    host.scripts.push_back([this](TfrmDadosPrato& f) {
        f.edtComensais->SetText(QStringLiteral("11")); // as a paste would
        Click(f.sbtConfirma);
        EXPECT_EQ(NextMessage(),
                  QStringLiteral("Número de comensais deve ser menor ou igual a 10"));
        EXPECT_EQ(f.ModalResult(), mrNone);
        EXPECT_EQ(f.ActiveControl(), f.edtComensais);

        // 2,6 at 0,3 per person is fewer than 10 diners, but more than the dish offered.
        Retype(f.edtPrato, QStringLiteral("2,6"));
        Click(f.sbtConfirma);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("8,66667"));
        EXPECT_EQ(NextMessage(),
                  QStringLiteral("Quantidade do prato deve ser menor ou igual a 2,5"));
        EXPECT_EQ(f.ActiveControl(), f.edtPrato);

        Retype(f.edtPrato, QStringLiteral("2,5"));
        Retype(f.edtExtra, QStringLiteral("1,50001"));
        Focus(f.edtComensais);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("10"));
        Click(f.sbtConfirma);
        EXPECT_EQ(NextMessage(), QStringLiteral("Quantidade extra deve ser menor ou igual a 1,5"));
        EXPECT_EQ(f.ActiveControl(), f.edtExtra);
        EXPECT_EQ(f.ModalResult(), mrNone);

        Retype(f.edtExtra, QStringLiteral("1,234567"));
        Click(f.sbtConfirma); // amounts equal to their maxima pass
        EXPECT_EQ(dialogs.UncheckedCount(), 0);
    });
    EXPECT_TRUE(CriaDadosPrato(diners, quantity, QStringLiteral("KG"), extra, 0.3));
    EXPECT_EQ(diners, 10);
    EXPECT_EQ(quantity, 2.5);
    EXPECT_EQ(extra, 1.23457);
}

TEST_F(DishDialogTest, DisabledDinersStillBoundTheConfirmation) {
    double d = 0, q = 10, e = 0;
    host.scripts.push_back([this](TfrmDadosPrato& f) {
        EXPECT_FALSE(f.edtComensais->Enabled());
        Retype(f.edtPrato, QStringLiteral("4"));
        Click(f.sbtConfirma);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("16,00000"));
        EXPECT_EQ(NextMessage(), QStringLiteral("Número de comensais deve ser menor ou igual a 0"));
        EXPECT_EQ(f.ActiveControl(), f.edtPrato); // a disabled edit cannot take the focus
        Retype(f.edtPrato, QStringLiteral("10"));
        Click(f.sbtConfirma);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("0"));
    });
    EXPECT_TRUE(CriaDadosPrato(d, q, QStringLiteral("KG"), e, 0.25));
    EXPECT_EQ(d, 0);
    EXPECT_EQ(q, 10);
}

TEST_F(DishDialogTest, WithoutQuantityPerPersonTheDinersAreNotRecomputed) {
    host.scripts.push_back([this](TfrmDadosPrato& f) {
        Retype(f.edtPrato, QStringLiteral("1"));
        Focus(f.edtComensais);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral("10,00000")); // no INF, no NAN
        Retype(f.edtComensais, QStringLiteral("11"));
        Click(f.sbtConfirma);
        EXPECT_EQ(f.edtPrato->Text(), QStringLiteral("0,00000")); // 11 × 0
        EXPECT_EQ(NextMessage(),
                  QStringLiteral("Número de comensais deve ser menor ou igual a 10"));
        Retype(f.edtComensais, QStringLiteral("6"));
        Retype(f.edtPrato, QStringLiteral("2"));
        Click(f.sbtConfirma);
    });
    EXPECT_TRUE(CriaDadosPrato(diners, quantity, QStringLiteral("KG"), extra, 0));
    EXPECT_EQ(diners, 6);
    EXPECT_EQ(quantity, 2);
}

TEST_F(DishDialogTest, AllZeroConfirmsButReturnsFalse) {
    host.scripts.push_back([](TfrmDadosPrato& f) {
        Type(f.edtComensais, QStringLiteral("0"));
        Click(f.sbtConfirma);
        EXPECT_EQ(f.ModalResult(), mrOk);
    });
    EXPECT_FALSE(CriaDadosPrato(diners, quantity, QStringLiteral("KG"), extra, 0.25));
    EXPECT_EQ(diners, 0);
    EXPECT_EQ(quantity, 0);
    EXPECT_EQ(extra, 0);
}

TEST_F(DishDialogTest, TextsThatAreNoNumberAreReportedAndCancelStillWorks) {
    extra = 1;
    host.scripts.push_back([this](TfrmDadosPrato& f) {
        Clear(f.edtComensais);
        Focus(f.edtPrato);
        EXPECT_EQ(NextMessage(), QStringLiteral("Comensais: informe um número."));
        EXPECT_EQ(f.ActiveControl(), f.edtComensais);
        EXPECT_EQ(f.edtComensais->Text(), QString());
        EXPECT_EQ(f.edtPrato->Text(), QStringLiteral("2,50000"));

        Type(f.edtComensais, QStringLiteral(","));
        Click(f.sbtConfirma);
        EXPECT_EQ(NextMessage(), QStringLiteral("Comensais: ',' não é um número válido."));
        EXPECT_EQ(f.ModalResult(), mrNone);
        EXPECT_EQ(f.edtComensais->Text(), QStringLiteral(","));

        Type(f.edtComensais, QStringLiteral("8"));
        Clear(f.edtExtra); // the extra has no pending rule: the check itself reads it
        Click(f.sbtConfirma);
        EXPECT_EQ(NextMessage(), QStringLiteral("Extra: informe um número."));
        EXPECT_EQ(f.ModalResult(), mrNone);
        Click(f.sbtCancel);
    });
    EXPECT_FALSE(CriaDadosPrato(diners, quantity, QStringLiteral("KG"), extra, 0.25));
    EXPECT_EQ(diners, 10);
    EXPECT_EQ(extra, 1);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

// The keyboard alone: Tab goes from the last open edit (the quantity: no extra here) to
// confirm, then cancel, Shift+Tab comes back, and Space or Enter on the focused confirm button
// confirms what was typed.
TEST_F(DishDialogTest, TabReachesConfirmAndCancelAndAKeyThereConfirms) {
    for (int key : {VK_SPACE, VK_RETURN}) {
        SCOPED_TRACE(key);
        double d = 10, q = 2.5, e = 0;
        host.scripts.push_back([key](TfrmDadosPrato& f) {
            auto press = [&f](int k, TShiftState shift = ssNone) {
                pla::Dispatch([&] { f.DeliverKey(k, shift); });
            };
            Retype(f.edtPrato, QStringLiteral("0,75"));
            press(VK_TAB);
            EXPECT_EQ(f.ActiveControl(), f.sbtConfirma);
            press(VK_TAB);
            EXPECT_EQ(f.ActiveControl(), f.sbtCancel);
            press(VK_TAB, ssShift);
            ASSERT_EQ(f.ActiveControl(), f.sbtConfirma);
            press(key);
        });
        EXPECT_TRUE(CriaDadosPrato(d, q, QStringLiteral("KG"), e, 0.25));
        EXPECT_EQ(d, 3);
    }
}

} // namespace
