#include "framework/data/Abort.h"
#include "framework/qt/FormRenderer.h"
#include "framework/qt/QtFormHost.h"
#include "framework/ui/TBitBtn.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMainMenu.h"
#include "framework/ui/TMemo.h"
#include "framework/ui/TMenuItem.h"
#include "framework/ui/TPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A small form: a title strip at the top, a list strip on the left, the rest for a work area
// holding a label, two edits, a combo and a check box.
struct SmallForm {
    TForm form;
    TPanel* top;
    TPanel* left;
    TPanel* work;
    TLabel* label;
    TEdit* code;
    TEdit* name;
    TComboBox* combo;
    TCheckBox* check;

    SmallForm() {
        form.SetName("frmSmall");
        form.SetCaption("Pequeno");
        form.SetBounds(0, 0, 400, 300);
        top = Add<TPanel>("panTop", &form);
        top->SetAlign(TAlign::alTop);
        top->SetHeight(34);
        left = Add<TPanel>("panLeft", &form);
        left->SetAlign(TAlign::alLeft);
        left->SetWidth(100);
        work = Add<TPanel>("panWork", &form);
        work->SetAlign(TAlign::alClient);
        label = Add<TLabel>("lblFilial", top);
        label->SetBounds(8, 8, 40, 16);
        label->SetCaption("Filial");
        label->SetFontBold(true);
        code = Add<TEdit>("edtCode", work);
        code->SetBounds(10, 10, 67, 21);
        code->SetTabStop(true);
        name = Add<TEdit>("edtName", work);
        name->SetBounds(10, 40, 200, 21);
        name->SetTabStop(true);
        combo = Add<TComboBox>("cmbGroup", work);
        combo->SetBounds(10, 70, 120, 21);
        combo->SetTabStop(true);
        combo->SetItems({"", "Hospitais", "Escolas"});
        check = Add<TCheckBox>("chbAll", work);
        check->SetBounds(10, 100, 120, 17);
        check->SetTabStop(true);
        check->SetCaption("Todos");
    }

    template <class T, class P> T* Add(const char* n, P* parent) {
        auto* c = new T(&form);
        c->SetName(n);
        c->SetParent(parent);
        return c;
    }
};

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.Install();
        f.form.Show();
        window = host.WindowFor(f.form);
        ASSERT_NE(window, nullptr);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        r = host.RendererFor(f.form);
        ASSERT_NE(r, nullptr);
    }
    void TearDown() override { f.form.Hide(); }

    template <class W> W* WidgetOf(TControl* c) { return dynamic_cast<W*>(r->WidgetFor(c)); }

    pla::QtFormHost host;
    SmallForm f;
    QWidget* window = nullptr;
    pla::FormRenderer* r = nullptr;
};

TEST_F(RendererTest, WidgetsSitAtTheAlignedBoundsAndFollowAResize) {
    EXPECT_EQ(r->WidgetFor(f.top)->geometry(), QRect(0, 0, 400, 34));
    EXPECT_EQ(r->WidgetFor(f.left)->geometry(), QRect(0, 34, 100, 266));
    EXPECT_EQ(r->WidgetFor(f.work)->geometry(), QRect(100, 34, 300, 266));
    EXPECT_EQ(r->WidgetFor(f.code)->geometry(), QRect(10, 10, 67, 21));
    EXPECT_EQ(r->WidgetFor(f.label)->geometry(), QRect(8, 8, 40, 16));
    EXPECT_TRUE(r->WidgetFor(f.label)->font().bold());
    EXPECT_FALSE(r->WidgetFor(f.code)->font().bold());

    // The user makes the window bigger: the model re-aligns and the widgets follow.
    r->Client()->resize(500, 350);
    QApplication::processEvents();
    EXPECT_EQ(f.form.Width(), 500);
    EXPECT_EQ(f.form.Height(), 350);
    EXPECT_EQ(r->WidgetFor(f.top)->geometry(), QRect(0, 0, 500, 34));
    EXPECT_EQ(r->WidgetFor(f.work)->geometry(), QRect(100, 34, 400, 316));

    // And code that moves a control moves its widget.
    f.left->SetWidth(150);
    EXPECT_EQ(r->WidgetFor(f.work)->geometry(), QRect(150, 34, 350, 316));
}

TEST_F(RendererTest, StatesAndTextsFollowTheModel) {
    auto* edit = WidgetOf<QLineEdit>(f.name);
    ASSERT_NE(edit, nullptr);
    f.name->SetText("Cozinha Central");
    EXPECT_EQ(edit->text(), "Cozinha Central");
    f.name->SetEnabled(false);
    EXPECT_FALSE(edit->isEnabled());
    f.name->SetEnabled(true);
    EXPECT_TRUE(edit->isEnabled());
    f.work->SetEnabled(false); // a container switches off what it holds
    EXPECT_FALSE(edit->isEnabled());
    f.work->SetEnabled(true);
    f.name->SetVisible(false);
    EXPECT_FALSE(edit->isVisible());
    f.name->SetVisible(true);
    EXPECT_TRUE(edit->isVisible());
    f.label->SetCaption("Data");
    EXPECT_EQ(WidgetOf<QLabel>(f.label)->text(), "Data");
    f.name->SetHint("Nome da filial");
    EXPECT_EQ(edit->toolTip(), "Nome da filial");
    f.name->SetColor(QColor(255, 255, 225));
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(255, 255, 225));

    auto* combo = WidgetOf<QComboBox>(f.combo);
    f.combo->SetItemIndex(2);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(combo->count(), 3);
    f.combo->AddItem("Empresas");
    EXPECT_EQ(combo->count(), 4);
    f.check->SetChecked(true);
    EXPECT_TRUE(WidgetOf<QCheckBox>(f.check)->isChecked());
}

TEST_F(RendererTest, UserInputReachesTheModelFirst) {
    int changes = 0;
    f.code->OnChange = [&](TComponent&) { ++changes; };
    QTest::mouseClick(r->WidgetFor(f.code), Qt::LeftButton);
    ASSERT_EQ(f.form.ActiveControl(), f.code);
    QTest::keyClicks(r->WidgetFor(f.code), "12");
    EXPECT_EQ(f.code->Text(), "12");
    EXPECT_EQ(WidgetOf<QLineEdit>(f.code)->text(), "12");
    EXPECT_EQ(changes, 2);
    QTest::keyClick(r->WidgetFor(f.code), Qt::Key_Backspace);
    EXPECT_EQ(f.code->Text(), "1");
    EXPECT_EQ(WidgetOf<QLineEdit>(f.code)->text(), "1");

    // A choice in the combo is the user's: its change event runs. Code setting the index
    // does not fire it.
    int comboChanges = 0;
    f.combo->OnChange = [&](TComponent&) { ++comboChanges; };
    f.combo->SetItemIndex(0);
    Q_EMIT WidgetOf<QComboBox>(f.combo)->activated(1);
    EXPECT_EQ(f.combo->ItemIndex(), 1);
    EXPECT_EQ(comboChanges, 1);

    int clicks = 0;
    f.check->OnClick = [&](TComponent&) { ++clicks; };
    QTest::mouseClick(r->WidgetFor(f.check), Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(f.check->Checked());
    EXPECT_TRUE(WidgetOf<QCheckBox>(f.check)->isChecked());
    EXPECT_EQ(clicks, 1);
}

TEST_F(RendererTest, SwallowedKeysNeverReachTheWidget) {
    f.code->SetText("ABC");
    f.code->OnKeyDown = [](TComponent&, int& key, TShiftState) {
        if (key == VK_DELETE || key == VK_BACK) key = 0;
    };
    f.code->OnKeyPress = [](TComponent&, QChar& ch) {
        if (ch == QLatin1Char('x')) ch = QChar();
    };
    QTest::mouseClick(r->WidgetFor(f.code), Qt::LeftButton);
    auto* edit = WidgetOf<QLineEdit>(f.code);
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(f.code->Text(), "ABC");
    EXPECT_EQ(edit->text(), "ABC");
    QTest::keyClicks(edit, "y");
    EXPECT_EQ(edit->text(), "ABCy");
}

TEST_F(RendererTest, QtFocusChangesAreModelFocusMoves) {
    std::vector<QString> events;
    auto log = [&](const char* what) {
        return [&events, what](TComponent& c) { events.push_back(c.Name() + ":" + what); };
    };
    f.code->OnExit = log("exit");
    f.name->OnEnter = log("enter");
    f.work->OnEnter = log("enter");
    f.code->SetFocus();
    QApplication::processEvents();
    EXPECT_TRUE(r->WidgetFor(f.code)->hasFocus());
    events.clear();

    QTest::mouseClick(r->WidgetFor(f.name), Qt::LeftButton);
    EXPECT_EQ(f.form.ActiveControl(), f.name);
    EXPECT_EQ(events, (std::vector<QString>{"edtCode:exit", "edtName:enter"}));
    EXPECT_TRUE(r->WidgetFor(f.name)->hasFocus());

    // Tab goes through the model's tab order.
    QTest::keyClick(r->WidgetFor(f.name), Qt::Key_Tab);
    EXPECT_EQ(f.form.ActiveControl(), f.combo);
    EXPECT_TRUE(r->WidgetFor(f.combo)->hasFocus());

    // The model moves the focus: the widget gets it.
    f.code->SetFocus();
    EXPECT_TRUE(r->WidgetFor(f.code)->hasFocus());

    // An exit handler that refuses keeps the focus, in the model and on screen; the click
    // that tried to move it does nothing else.
    f.code->OnExit = [](TComponent&) { throw Abort(); };
    QTest::mouseClick(r->WidgetFor(f.name), Qt::LeftButton);
    EXPECT_EQ(f.form.ActiveControl(), f.code);
    EXPECT_TRUE(r->WidgetFor(f.code)->hasFocus());
}

// A glyph push button: a click leaves the focus where it was, Tab reaches it and shows the
// focus on it, Space there clicks it.
TEST_F(RendererTest, AGlyphButtonIsReachedByTabOnlyAndSpaceClicksIt) {
    auto* ok = f.Add<TBitBtn>("sbtConfirma", f.work);
    ok->SetBounds(150, 100, 21, 21);
    int clicks = 0;
    ok->OnClick = [&clicks](TComponent&) { ++clicks; };
    QApplication::processEvents();
    f.name->SetFocus();
    QTest::mouseClick(r->WidgetFor(ok), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.form.ActiveControl(), f.name);

    f.check->SetFocus();
    QTest::keyClick(r->WidgetFor(f.check), Qt::Key_Tab);
    EXPECT_EQ(f.form.ActiveControl(), ok);
    EXPECT_TRUE(r->WidgetFor(ok)->hasFocus());
    QTest::keyClick(r->WidgetFor(ok), Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
}

TEST_F(RendererTest, AClickOnAnInnerPartFocusesItsControlAndRunsTheExits) {
    auto* memo = f.Add<TMemo>("mmoObs", f.left);
    memo->SetBounds(5, 5, 90, 60);
    memo->SetTabStop(true);
    auto* grid = f.Add<TDBGrid>("dbgEmpty", f.left); // no rows at all
    grid->SetBounds(5, 80, 90, 80);
    int workExits = 0;
    f.work->OnExit = [&](TComponent&) { ++workExits; };
    const struct {
        TWinControl* control;
        QWidget* inner;
    } cases[] = {
        {memo, WidgetOf<QPlainTextEdit>(memo)->viewport()},
        {grid, WidgetOf<QTableView>(grid)->viewport()},
    };
    for (const auto& c : cases) {
        f.code->SetFocus();
        workExits = 0;
        QTest::mouseClick(c.inner, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(f.form.ActiveControl(), c.control) << c.control->Name().toStdString();
        EXPECT_TRUE(r->WidgetFor(c.control)->hasFocus());
        EXPECT_EQ(workExits, 1); // leaving the work area by a click is leaving it by Tab
    }
}

TEST_F(RendererTest, AClickIntoAnEditSelectsItsTextSoTypingReplacesIt) {
    f.name->SetText("130,00");
    f.code->SetFocus();
    QTest::mouseClick(r->WidgetFor(f.name), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::keyClicks(r->WidgetFor(f.name), "65");
    EXPECT_EQ(f.name->Text(), "65");
}

TEST_F(RendererTest, CtrlASelectsTheWholeTextInAnEditAndIsTheMenusElsewhere) {
    TMainMenu menu(&f.form);
    auto* item = new TMenuItem(&f.form);
    item->SetShortCut("Ctrl+A");
    int commands = 0;
    item->OnClick = [&](TComponent&) { ++commands; };
    menu.Items().Add(item);
    f.form.SetMenu(&menu);
    f.code->SetText("0001");
    f.code->SetFocus();
    f.code->SetSelection(4, 0);
    QTest::keyClick(r->WidgetFor(f.code), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.code->SelLength(), 4);
    EXPECT_EQ(commands, 0);
    f.combo->SetFocus();
    QTest::keyClick(r->WidgetFor(f.combo), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(commands, 1);
    f.form.SetMenu(nullptr);
}

TEST(RendererLifetime, DestroyingTheFormEmptiesItsWindowSafely) {
    pla::QtFormHost host;
    host.Install();
    auto f = std::make_unique<SmallForm>();
    f->form.Show();
    QPointer<QWidget> edit = host.RendererFor(f->form)->WidgetFor(f->code);
    ASSERT_TRUE(edit);
    f.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(edit);
}

} // namespace
