#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/data/Field.h"
#include "framework/qt/BusyIndicator.h"
#include "framework/qt/FindDialog.h"
#include "framework/qt/FormRenderer.h"
#include "framework/qt/PickListDialog.h"
#include "framework/qt/QtDialogService.h"
#include "framework/qt/QtFormHost.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TfrmRotiGeral.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Runs check on the modal widget that opens next.
void WhenModalOpens(std::function<void(QWidget*)> check) {
    QTimer::singleShot(0, [check] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            WhenModalOpens(check);
            return;
        }
        check(w);
    });
}

QPushButton* ButtonWithText(QWidget* w, const QString& text) {
    for (auto* b : w->findChildren<QPushButton*>())
        if (b->text().remove('&') == text) return b;
    return nullptr;
}

TEST(ModalForms, ADialogFormRunsAsQDialogUntilItsButtonAnswers) {
    pla::QtFormHost host;
    host.Install();
    TForm dialog;
    dialog.SetBounds(0, 0, 300, 120);
    dialog.SetCaption("Dados do Prato");
    auto* edit = new TEdit(&dialog);
    edit->SetParent(&dialog);
    edit->SetTabStop(true);
    edit->SetBounds(10, 10, 100, 21);
    auto* ok = new TButton(&dialog);
    ok->SetParent(&dialog);
    ok->SetTabStop(true);
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    ok->SetBounds(10, 50, 75, 25);

    bool wasDialog = false;
    WhenModalOpens([&](QWidget* w) {
        wasDialog = qobject_cast<QDialog*>(w) != nullptr && w->windowTitle() == "Dados do Prato";
        pla::FormRenderer* r = host.RendererFor(dialog);
        QTest::keyClicks(r->WidgetFor(edit), "42");
        QTest::mouseClick(r->WidgetFor(ok), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(wasDialog);
    EXPECT_EQ(edit->Text(), "42");
    EXPECT_FALSE(host.WindowFor(dialog)->isVisible());

    // Closing the window is the form's Close: cancelled.
    WhenModalOpens([&](QWidget* w) { w->close(); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST(ModalForms, EnterConfirmsAndEscCancelsADialogFromItsEdit) {
    pla::QtFormHost host;
    host.Install();
    TfrmRotiGeral dialog;
    dialog.SetCaption("Dados do Prato");
    auto* edit = new TEdit(&dialog);
    edit->SetParent(dialog.grbDadosRel);
    edit->SetTabStop(true);
    edit->SetBounds(10, 20, 100, 21);
    const struct {
        Qt::Key key;
        int result;
    } cases[] = {{Qt::Key_Return, mrOk}, {Qt::Key_Escape, mrCancel}};
    for (const auto& c : cases) {
        dialog.SetModalResult(mrNone);
        WhenModalOpens([&](QWidget*) {
            QTest::keyClick(host.RendererFor(dialog)->WidgetFor(edit), c.key);
        });
        EXPECT_EQ(dialog.ShowModal(), c.result) << c.key;
    }
}

TEST(Quitting, AChangeNotConfirmedIsOnlyLostOnYesAndNoIsTheDefault) {
    struct Screen : TForm {
        bool pending = true;
        bool PendingChange() const override { return pending; }
    } screen;
    screen.SetCaption("Distribuição do Cardápio");
    // Windows of earlier tests still waiting for deletion must not parent the question.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    pla::QtDialogService service;
    service.Install();
    pla::QtFormHost host;
    host.Install();
    screen.Show();

    QString asked;
    WhenModalOpens([&](QWidget* w) {
        asked = static_cast<QMessageBox*>(w)->text();
        QTest::keyClick(w, Qt::Key_Return); // a reflex Enter
    });
    EXPECT_FALSE(host.ConfirmQuit());
    EXPECT_EQ(asked, "Existem alterações não confirmadas na Distribuição do Cardápio. Deseja "
                     "sair assim mesmo?");
    WhenModalOpens([](QWidget* w) { ButtonWithText(w, "Sim")->click(); });
    EXPECT_TRUE(host.ConfirmQuit());
    screen.pending = false;
    EXPECT_TRUE(host.ConfirmQuit()); // nothing asked: no box would ever close
    screen.Hide();
}

TEST(MessageBoxes, PortugueseButtonsAndTheAnswerOfTheButtonPressed) {
    pla::QtDialogService service;
    std::unique_ptr<QMessageBox> box(
        pla::QtDialogService::BuildBox("Cancela alteração na distribuição?",
                                       pla::MsgDlgType::Confirmation, pla::mbYesNo, nullptr));
    EXPECT_NE(ButtonWithText(box.get(), "Sim"), nullptr);
    EXPECT_NE(ButtonWithText(box.get(), "Não"), nullptr);
    EXPECT_EQ(box->windowTitle(), "Confirmação");
    box.reset(
        pla::QtDialogService::BuildBox("x", pla::MsgDlgType::Warning, pla::mbOKCancel, nullptr));
    EXPECT_NE(ButtonWithText(box.get(), "Cancelar"), nullptr);

    WhenModalOpens([](QWidget* w) { ButtonWithText(w, "Não")->click(); });
    EXPECT_EQ(service.MessageBox("Confirma?", pla::MsgDlgType::Confirmation, pla::mbYesNo), mrNo);
    WhenModalOpens([](QWidget* w) { ButtonWithText(w, "Sim")->click(); });
    EXPECT_EQ(service.MessageBox("Confirma?", pla::MsgDlgType::Confirmation, pla::mbYesNo), mrYes);
    // Escape on OK/Cancel is Cancel.
    WhenModalOpens([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(service.MessageBox("Apagar?", pla::MsgDlgType::Confirmation, pla::mbOKCancel),
              mrCancel);
}

struct Branches {
    TClientDataSet ds{"qryFilial"};
    TDataSource dts{"dtsFilial", &ds};
    Branches() {
        ds.AddField({.Name = "CDFILIAL", .Type = TFieldType::String, .Size = 4});
        ds.AddField({.Name = "NMFILIAL", .Type = TFieldType::String, .Size = 40});
        ds.CreateDataSet();
        for (auto [code, name] : {std::pair{"0001", "Cozinha Central"},
                                  {"0002", "Cozinha Norte"},
                                  {"0003", "Cozinha Sul"}}) {
            ds.Append();
            ds.FieldByName("CDFILIAL").SetAsString(code);
            ds.FieldByName("NMFILIAL").SetAsString(name);
            ds.Post();
        }
        ds.First();
    }
};

TEST(PickList, TypingNarrowsTheListAndAcceptingPositionsTheDataSet) {
    Branches b;
    pla::PickListDialog dialog(b.ds, "Filial");
    EXPECT_EQ(dialog.windowTitle(), "Filial");
    EXPECT_EQ(dialog.List()->model()->rowCount(), 3);
    QTest::keyClicks(dialog.SearchField(), "norte");
    ASSERT_EQ(dialog.List()->model()->rowCount(), 1);
    EXPECT_EQ(dialog.ChosenRow(), 1);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(b.ds.FieldByName("CDFILIAL").AsString(), "0002");

    // Through the service: title from the caption; cancel leaves the cursor.
    pla::QtDialogService service;
    b.ds.First();
    QString title;
    WhenModalOpens([&](QWidget* w) {
        title = w->windowTitle();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(service.PickList(b.dts, "Filial|Não há filial cadastrada."));
    EXPECT_EQ(title, "Filial");
    EXPECT_EQ(b.ds.RecNo(), 1);
}

TEST(FindDialogTest, FindsTheNextMatchingRecordWrappingRound) {
    Branches b;
    b.ds.SetRecNo(2);
    pla::FindDialog dialog(b.ds);
    dialog.FieldChoice()->setCurrentIndex(1);
    dialog.TextField()->setText("cozinha");
    EXPECT_EQ(dialog.FindNext(), 2); // after the current record
    b.ds.SetRecNo(3);
    EXPECT_EQ(dialog.FindNext(), 0); // wraps round
    dialog.TextField()->setText("oeste");
    EXPECT_EQ(dialog.FindNext(), -1);
}

TEST(Busy, TheWindowKeepsPaintingWhileInputIsBlockedAndTheAnimationAppearsLate) {
    QWidget window;
    window.resize(300, 200);
    window.show();
    pla::BusyIndicator busy;
    busy.SetWindow(&window);
    busy.SetDelay(std::chrono::milliseconds(50));
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    bool shownAtStart = true;
    bool shownLater = false;
    int keysSeen = 0;
    struct KeyCounter : QObject {
        int& n;
        explicit KeyCounter(int& c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress) ++n;
            return false;
        }
    } counter(keysSeen);
    window.installEventFilter(&counter);
    busy.RunBlocking([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        shownAtStart = busy.AnimationShown();
        QKeyEvent* key = new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QCoreApplication::postEvent(&window, key);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        shownLater = busy.AnimationShown();
    });
    EXPECT_FALSE(shownAtStart);
    EXPECT_TRUE(shownLater);
    EXPECT_GT(ticks, 5); // the event loop kept turning
    EXPECT_EQ(keysSeen, 0);
    EXPECT_GE(busy.Blocker().Discarded(), 1);
    EXPECT_FALSE(busy.Active());
    EXPECT_FALSE(busy.AnimationShown());

    // A failure in the work arrives here and still ends the busy period.
    EXPECT_THROW(busy.RunBlocking([] { throw std::runtime_error("falhou"); }), std::runtime_error);
    EXPECT_FALSE(busy.Active());
}

} // namespace
