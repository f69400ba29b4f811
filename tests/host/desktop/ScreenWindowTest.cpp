// The screens in real Qt widgets inside an MDI area, as pla-host shows them, driven by key
// events and through Qt's accessibility interfaces (what screen readers and desktop test robots
// use): what the headless scenarios cannot see.
#include "copy_dialog/CopiaDistribuicao.h"
#include "copy_dialog/CriaCopiaDistribuicao.h"
#include "dish_dialog/CriaDadosPrato.h"
#include "dish_dialog/DadosPrato.h"
#include "distribution/DistEmbCard.h"
#include "framework/data/ClientDataSet.h"
#include "framework/qt/FormRenderer.h"
#include "framework/qt/QtFormHost.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBMemo.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "host/desktop/MainWindow.h"
#include "report_screen/ImpDistEmbCard.h"
#include "tests/distribution/ScreenFixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace pla::test {
namespace {

// Widgets need a QApplication, made before the screen tests' set-up would make a plain GUI
// one; never destroyed, like the globals of that set-up.
class WidgetsApplication : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "desktop_window_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
};
[[maybe_unused]] auto* const widgets = ::testing::AddGlobalTestEnvironment(new WidgetsApplication);

class ScreenWindowTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        mdi.resize(1024, 700);
        mdi.show();
        QApplication::setActiveWindow(&mdi);
        forms.Install();
        // Another window in the area: Ctrl+Tab would switch to it if the area took the key.
        other = mdi.addSubWindow(new QWidget);
        other->show();
    }

    QWidget* Widget(TControl* control) const {
        return forms.RendererFor(*control->ParentForm())->WidgetFor(control);
    }

    // Interactive widgets of form's window that a screen reader gives no name.
    QStringList Unnamed(const TForm& form) const {
        QStringList unnamed;
        QWidget* root = forms.RendererFor(form)->Root();
        for (QWidget* w : root->findChildren<QWidget*>()) {
            const bool interactive =
                qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                (qobject_cast<QAbstractItemView*>(w) && !qobject_cast<QHeaderView*>(w));
            // Parts of a control (a table's corner, a combo's line) are named by the control.
            if (!interactive || !w->isVisibleTo(root) || qobject_cast<QLineEdit*>(w->parent()) ||
                qobject_cast<QAbstractItemView*>(w->parentWidget()))
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << QStringLiteral("%1 (%2)").arg(
                    forms.RendererFor(form)->ControlFor(w)->Name(), w->metaObject()->className());
        }
        return unnamed;
    }

    // Labels of form's window whose text is cut: wider than the label, or running under a
    // control beside it on the same line.
    QStringList Clipped(const TForm& form) const {
        QStringList clipped;
        QWidget* root = forms.RendererFor(form)->Root();
        for (QLabel* label : root->findChildren<QLabel*>()) {
            const QString text = label->text().remove(QLatin1Char('&'));
            if (!label->isVisibleTo(root) || label->wordWrap() || text.contains(QLatin1Char('<')))
                continue;
            const int end = label->x() + label->contentsRect().left() +
                            label->fontMetrics().horizontalAdvance(text);
            bool cut = end > label->x() + label->contentsRect().right() + 1;
            for (QWidget* beside :
                 label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                const QRect g = beside->geometry();
                cut =
                    cut || (beside != label && beside->isVisibleTo(root) && g.left() > label->x() &&
                            g.left() < end && g.top() < label->geometry().bottom() &&
                            g.bottom() > label->geometry().top());
            }
            if (cut) clipped << text;
        }
        return clipped;
    }

    QMdiArea mdi;
    QtFormHost forms{&mdi};
    QMdiSubWindow* other = nullptr;
};

TEST_F(ScreenWindowTest, CtrlTabLeavesTheGridsInsteadOfSwitchingWindows) {
    Open();
    EnterServiceList();
    QMdiSubWindow* screenWindow = mdi.activeSubWindow();
    QTest::keyClick(Widget(screen->dbgPadrao), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(screen->ActiveControl(), screen->cmbPontosEntrega);
    EXPECT_EQ(QApplication::focusWidget(), Widget(screen->cmbPontosEntrega));
    QTest::keyClick(Widget(screen->cmbPontosEntrega), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(screen->ActiveControl(), screen->dbgPadrao);
    EXPECT_EQ(mdi.activeSubWindow(), screenWindow);
}

TEST_F(ScreenWindowTest, DishDialogStartsOnTheDinersRunsDownAndEnterConfirms) {
    double diners = 10, quantity = 2.5, extra = 1;
    QStringList order, names;
    QTimer::singleShot(0, [&] {
        FormRenderer* r = forms.RendererFor(*frmDadosPrato);
        for (int i = 0; i < 3; ++i) {
            order << frmDadosPrato->ActiveControl()->Name();
            QTest::keyClick(r->WidgetFor(frmDadosPrato->ActiveControl()), Qt::Key_Tab);
        }
        for (TControl* c : {static_cast<TControl*>(frmDadosPrato->sbtConfirma),
                            static_cast<TControl*>(frmDadosPrato->sbtCancel)})
            names
                << QAccessible::queryAccessibleInterface(r->WidgetFor(c))->text(QAccessible::Name);
        QTest::keyClick(r->WidgetFor(frmDadosPrato->edtExtra), Qt::Key_Return);
    });
    EXPECT_TRUE(CriaDadosPrato(diners, quantity, QStringLiteral("KG"), extra, 0.25,
                               QStringLiteral("P1 - Arroz")));
    EXPECT_EQ(order, (QStringList{QStringLiteral("edtComensais"), QStringLiteral("edtPrato"),
                                  QStringLiteral("edtExtra")}));
    EXPECT_EQ(names, (QStringList{QStringLiteral("Confirmar"), QStringLiteral("Cancelar")}));
    pla::DestroyDadosPrato();
}

TEST_F(ScreenWindowTest, CopyDialogStartsOnTheDateAndEnterConfirmsEscCancels) {
    const struct {
        Qt::Key key;
        std::optional<QDate> answer;
    } cases[] = {{Qt::Key_Return, QDate(2026, 12, 1)}, {Qt::Key_Escape, std::nullopt}};
    for (const auto& c : cases) {
        bool dateHasFocus = false;
        QTimer::singleShot(0, [&] {
            QWidget* date = forms.RendererFor(*frmCopiaDistribuicao)
                                ->WidgetFor(frmCopiaDistribuicao->depOrigem);
            // The window system activates the dialog's window after it is shown.
            dateHasFocus =
                frmCopiaDistribuicao->ActiveControl() == frmCopiaDistribuicao->depOrigem &&
                QTest::qWaitFor([&] { return QApplication::focusWidget() == date; }, 2000);
            QTest::keyClick(date, c.key);
        });
        EXPECT_EQ(CriaCopiaDistribuicao(QDate(2026, 12, 8)), c.answer) << c.key;
        EXPECT_TRUE(dateHasFocus) << c.key;
    }
    pla::DestroyCopiaDistribuicao();
}

TEST_F(ScreenWindowTest, ComboListsOpenWithAltDownAndF4) {
    Open();
    EnterServiceList();
    auto* combo = static_cast<QComboBox*>(Widget(screen->cmbFiltroGrupo));
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Down, Qt::AltModifier}, std::pair{Qt::Key_F4, Qt::NoModifier}}) {
        Dispatch([&] { screen->cmbFiltroGrupo->SetFocus(); });
        QTest::keyClick(combo, key, modifiers);
        EXPECT_TRUE(combo->view()->isVisible()) << key;
        combo->hidePopup();
    }
}

TEST_F(ScreenWindowTest, EveryControlOfBothScreensHasANameNoLabelIsCutAndTheLightSaysItsState) {
    Open();
    EnterServiceList();
    EXPECT_EQ(Unnamed(*screen), QStringList());
    EXPECT_EQ(Clipped(*screen), QStringList());
    QAccessibleInterface* filial =
        QAccessible::queryAccessibleInterface(Widget(screen->edtCdFilial));
    EXPECT_EQ(filial->text(QAccessible::Name), QStringLiteral("Filial"));

    // The light column of the services: N, I and S in the fixture.
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(Widget(screen->dbgPadrao))->tableInterface();
    ASSERT_NE(table, nullptr);
    QStringList states;
    for (int row = 0; row < 3; ++row)
        states << table->cellAt(row, table->columnCount() - 1)->text(QAccessible::Name);
    EXPECT_EQ(states, (QStringList{QStringLiteral("Sem distribuição"), QStringLiteral("Incompleta"),
                                   QStringLiteral("Completa")}));

    auto* print = new TfrmImpDistEmbCard(nullptr);
    ASSERT_TRUE(Dispatch([&] { print->DoCreate(); }));
    print->Show();
    EXPECT_EQ(Unnamed(*print), QStringList());
    EXPECT_EQ(Clipped(*print), QStringList());
    TForm::Free(print);
}

TEST_F(ScreenWindowTest, TextWrittenThroughAccessibilityIsTyping) {
    Open();
    EnterServiceList();
    ASSERT_EQ(screen->cdsDistCard->State(), TDataSetState::Browse);
    QAccessibleInterface* memo =
        QAccessible::queryAccessibleInterface(Widget(screen->dbmObservacaoEtiqueta));
    ASSERT_NE(memo->editableTextInterface(), nullptr);
    memo->editableTextInterface()->replaceText(0, memo->textInterface()->characterCount(),
                                               QStringLiteral("Sem sal"));
    EXPECT_EQ(screen->dbmObservacaoEtiqueta->Text(), QStringLiteral("Sem sal"));
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_TRUE(screen->sbtConfirmar->Enabled());
}

// 1024 × 768, and 1920 × 1080 at scale 2 (960 × 540 for Qt), hold no 1300 × 860 window: it
// opens maximised there, and at its size, centred, where it fits.
TEST(MainWindowTest, OpensWithinTheAvailableScreen) {
    struct Case {
        QRect available;
        bool maximised;
    } cases[] = {{QRect(0, 0, 1024, 740), true},
                 {QRect(0, 0, 960, 520), true},
                 {QRect(0, 0, 1366, 740), true},
                 {QRect(0, 0, 1920, 1050), false}};
    for (const Case& c : cases) {
        bool maximised = false;
        const QRect placed = MainWindow::OpeningGeometry(c.available, maximised);
        EXPECT_EQ(maximised, c.maximised) << c.available.width();
        EXPECT_TRUE(c.available.contains(placed)) << c.available.width();
    }
    MainWindow window([](const QString&) {});
    window.ShowOnScreen();
    // The offscreen screen has no window manager: its window sits 2 pixels in, at full size.
    const QSize shown = window.size(), screen = window.screen()->availableGeometry().size();
    EXPECT_TRUE(shown.width() <= screen.width() && shown.height() <= screen.height());
}

} // namespace
} // namespace pla::test
