#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TMainMenu.h"
#include "framework/ui/TShortCut.h"
#include "framework/ui/TfrmPadraoGrid.h"

#include <gtest/gtest.h>

namespace {

struct MenuForm {
    TForm form;
    TEdit* edt = new TEdit(&form);
    TMainMenu* menu = new TMainMenu(&form);
    TMenuItem* top = new TMenuItem(&form);
    TMenuItem* gerar = new TMenuItem(&form);
    int generated = 0;

    MenuForm() {
        edt->SetParent(&form);
        form.SetMenu(menu);
        menu->Items().Add(top);
        top->Add(gerar);
        gerar->SetShortCut(QStringLiteral("Ctrl+G"));
        gerar->OnClick = [this](TComponent&) { ++generated; };
        form.Show();
    }
};

TEST(Keys, ShortCutsActOnlyWhileTheItemAndItsParentsAreEnabled) {
    MenuForm f;
    f.form.DeliverKey('G', ssCtrl);
    EXPECT_EQ(f.generated, 1);
    f.gerar->SetEnabled(false);
    f.form.DeliverKey('G', ssCtrl);
    EXPECT_EQ(f.generated, 1);
    f.gerar->SetEnabled(true);
    f.top->SetEnabled(false);
    f.form.DeliverKey('G', ssCtrl);
    EXPECT_EQ(f.generated, 1);
    f.top->SetEnabled(true);
    f.form.DeliverKey('G', ssShift | ssCtrl); // other modifiers: another shortcut
    EXPECT_EQ(f.generated, 1);
    // A shortcut used up by the menu types nothing into the edit.
    f.form.DeliverKey('G', ssCtrl);
    EXPECT_EQ(f.generated, 2);
    EXPECT_EQ(f.edt->Text(), QString());
}

TEST(Keys, ASwallowedKeyReachesNeitherTheControlNorTheMenu) {
    MenuForm f;
    f.edt->SetText(QStringLiteral("ab"));
    f.edt->SetSelection(2, 0);
    f.edt->OnKeyDown = [](TComponent&, int& key, TShiftState) {
        if (key == VK_BACK || key == 'G') key = 0;
    };
    f.form.DeliverKey(VK_BACK);
    f.form.DeliverKey('G', ssCtrl);
    EXPECT_EQ(f.edt->Text(), QStringLiteral("ab"));
    EXPECT_EQ(f.generated, 0);

    // Key-press handlers filter characters.
    f.edt->OnKeyDown = nullptr;
    f.edt->OnKeyPress = [](TComponent&, QChar& c) {
        if (!c.isDigit() && c.unicode() != 8) c = QChar();
    };
    for (QChar c : QStringLiteral("1x2"))
        f.form.DeliverChar(c);
    EXPECT_EQ(f.edt->Text(), QStringLiteral("ab12"));
    f.form.DeliverKey(VK_BACK); // passes the filter as character 8
    EXPECT_EQ(f.edt->Text(), QStringLiteral("ab1"));
}

TEST(Keys, ShortCutTextsRoundTrip) {
    auto s = TShortCut::Parse(QStringLiteral("ctrl+delete"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Key, VK_DELETE);
    EXPECT_EQ(s->Shift, ssCtrl);
    EXPECT_EQ(s->ToText(), QStringLiteral("Ctrl+Delete"));
    EXPECT_EQ(TShortCut::Parse(QStringLiteral("Ctrl+G"))->ToKeySequence(),
              QKeySequence(QStringLiteral("Ctrl+G")));
    EXPECT_FALSE(TShortCut::Parse(QStringLiteral("Hyper+G")));
    EXPECT_FALSE(TShortCut::Parse(QStringLiteral("Ctrl+")));
    auto q = TShortCut::FromQt(Qt::Key_Backtab, Qt::NoModifier);
    ASSERT_TRUE(q);
    EXPECT_EQ(*q, (TShortCut{VK_TAB, ssShift}));
}

// A screen overriding one record action, as real screens do.
class ListScreen : public TfrmPadraoGrid {
public:
    int included = 0;
    void sbtIncluirClick(TComponent&) override { ++included; }
};

TEST(BaseScreen, MenuItemsMirrorTheirButtonsAndDoWhatTheyDo) {
    ListScreen s;
    ASSERT_EQ(s.FindComponent(QStringLiteral("sbtIncluir")), s.sbtIncluir);
    EXPECT_EQ(s.sbtIncluir->Hint(), QStringLiteral("Incluir"));
    EXPECT_EQ(s.sbtFechar->Hint(), QStringLiteral("Fechar"));
    EXPECT_EQ(s.sbtIncluir->Width(), 21);
    EXPECT_EQ(s.sbtIncluir->Glyph().size(), QSize(16, 16));
    s.Show();

    s.mnuIncluir->Click();
    EXPECT_EQ(s.included, 1);
    s.sbtIncluir->SetEnabled(false);
    EXPECT_FALSE(s.mnuIncluir->Enabled());
    EXPECT_FALSE(s.mnuIncluir->Click());
    EXPECT_FALSE(s.sbtIncluir->UserClick());
    EXPECT_EQ(s.included, 1);

    // A screen's own command inserted before the print button, with a shortcut.
    auto* gerar = new TButtonFlat(&s);
    gerar->SetName(QStringLiteral("sbtGerar"));
    s.InsertToolButton(gerar, s.sbtImprimir);
    EXPECT_LT(gerar->Left(), s.sbtImprimir->Left());
    EXPECT_GT(gerar->Left(), s.sbtCancelar->Left());
    int generated = 0;
    gerar->OnClick = [&](TComponent&) { ++generated; };
    TMenuItem* mnuGerar = s.AddMaintenanceItem(QStringLiteral("mnuGerar"), QStringLiteral("Gerar"));
    mnuGerar->SetShortCut(QStringLiteral("Ctrl+G"));
    s.MirrorMenuItem(mnuGerar, gerar);
    gerar->SetEnabled(false);
    s.DeliverKey('G', ssCtrl);
    EXPECT_EQ(generated, 0);
    gerar->SetEnabled(true);
    s.DeliverKey('G', ssCtrl);
    EXPECT_EQ(generated, 1);
    // A tool button click leaves the focus where it was.
    TWinControl* before = s.ActiveControl();
    EXPECT_TRUE(gerar->UserClick());
    EXPECT_EQ(s.ActiveControl(), before);
}

} // namespace
