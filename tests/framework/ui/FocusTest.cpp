#include "framework/data/Abort.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TPanel.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// A form with two panels; the first holds a group box with two edits, the second one edit:
//   form ─ panA ─ grb ─ edtA1, edtA2
//        └ panB ─ edtB
struct FocusForm {
    TForm form;
    TPanel* panA = new TPanel(&form);
    TGroupBox* grb = new TGroupBox(&form);
    TEdit* edtA1 = new TEdit(&form);
    TEdit* edtA2 = new TEdit(&form);
    TPanel* panB = new TPanel(&form);
    TEdit* edtB = new TEdit(&form);
    QStringList log;

    FocusForm() {
        panA->SetParent(&form);
        grb->SetParent(panA);
        edtA1->SetParent(grb);
        edtA2->SetParent(grb);
        panB->SetParent(&form);
        edtB->SetParent(panB);
        const std::pair<TWinControl*, const char*> all[] = {{panA, "panA"},   {grb, "grb"},
                                                            {edtA1, "edtA1"}, {edtA2, "edtA2"},
                                                            {panB, "panB"},   {edtB, "edtB"}};
        for (auto [c, n] : all) {
            c->SetName(QLatin1String(n));
            QString name = QLatin1String(n);
            c->OnEnter = [this, name](TComponent&) { log << "enter " + name; };
            c->OnExit = [this, name](TComponent&) { log << "exit " + name; };
        }
    }
};

TEST(Focus, ShowFocusesFirstEnabledVisibleControlInTabOrder) {
    FocusForm f;
    f.edtA1->SetEnabled(false);
    f.form.Show();
    EXPECT_EQ(f.form.ActiveControl(), f.edtA2);
    EXPECT_EQ(f.log, QStringList({"enter panA", "enter grb", "enter edtA2"}));

    // Tab order, not creation order, decides; hidden containers are skipped.
    FocusForm g;
    g.panB->SetTabOrder(0);
    g.form.Show();
    EXPECT_EQ(g.form.ActiveControl(), g.edtB);
    FocusForm h;
    h.panA->SetVisible(false);
    h.form.Show();
    EXPECT_EQ(h.form.ActiveControl(), h.edtB);
}

TEST(Focus, MoveRunsExitsInnermostFirstThenEntersOutermostFirst) {
    FocusForm f;
    f.form.Show();
    f.log.clear();
    TWinControl* seenDuringExit = nullptr;
    f.grb->OnExit = [&](TComponent&) {
        f.log << "exit grb";
        seenDuringExit = f.form.ActiveControl();
    };
    f.edtB->SetFocus();
    EXPECT_EQ(f.log,
              QStringList({"exit edtA1", "exit grb", "exit panA", "enter panB", "enter edtB"}));
    EXPECT_EQ(seenDuringExit, f.edtB); // the target is already focused while handlers run

    f.log.clear();
    f.edtA2->SetFocus();
    f.log.clear();
    f.edtA1->SetFocus(); // sibling inside the same containers: only the two edits
    EXPECT_EQ(f.log, QStringList({"exit edtA2", "enter edtA1"}));
}

TEST(Focus, AbortInExitHandlerStopsTheMoveAndKeepsTheFocus) {
    FocusForm f;
    f.form.Show();
    f.grb->OnExit = [&](TComponent&) {
        f.log << "exit grb";
        throw Abort();
    };
    f.log.clear();
    EXPECT_FALSE(pla::Dispatch([&] { f.edtB->SetFocus(); }));
    EXPECT_EQ(f.log, QStringList({"exit edtA1", "exit grb"}));
    EXPECT_EQ(f.form.ActiveControl(), f.edtA1);

    // The next attempt runs the refused exits again.
    f.grb->OnExit = [&](TComponent&) { f.log << "exit grb"; };
    f.log.clear();
    f.edtB->SetFocus();
    EXPECT_EQ(f.log,
              QStringList({"exit edtA1", "exit grb", "exit panA", "enter panB", "enter edtB"}));
}

TEST(Focus, ExitHandlerThatRefocusesInsideItsContainerKeepsThatFocus) {
    // Like a panel check that puts the focus on the field at fault, then aborts.
    FocusForm f;
    f.form.Show();
    f.edtA2->SetFocus();
    f.grb->OnExit = [&](TComponent&) {
        f.log << "exit grb";
        f.edtA1->SetFocus();
        throw Abort();
    };
    f.log.clear();
    EXPECT_FALSE(pla::Dispatch([&] { f.edtB->SetFocus(); }));
    EXPECT_EQ(f.form.ActiveControl(), f.edtA1);
    EXPECT_EQ(f.log, QStringList({"exit edtA2", "exit grb", "enter edtA1"}));
    EXPECT_FALSE(f.log.contains("enter panB"));

    // Leaving edtA1 later leaves the group box again.
    f.grb->OnExit = [&](TComponent&) { f.log << "exit grb"; };
    f.log.clear();
    f.edtB->SetFocus();
    EXPECT_EQ(f.log,
              QStringList({"exit edtA1", "exit grb", "exit panA", "enter panB", "enter edtB"}));
}

TEST(Focus, EnterHandlerMovingTheFocusEndsTheOuterMove) {
    FocusForm f;
    f.form.Show();
    f.panB->OnEnter = [&](TComponent&) {
        f.log << "enter panB";
        f.edtA2->SetFocus();
    };
    f.log.clear();
    f.edtB->SetFocus();
    EXPECT_EQ(f.form.ActiveControl(), f.edtA2);
    EXPECT_FALSE(f.log.contains("enter edtB"));
    EXPECT_EQ(f.log.last(), "enter edtA2");
}

TEST(Focus, DisabledControlsCannotTakeTheFocus) {
    FocusForm f;
    f.form.Show();
    f.panB->SetEnabled(false);
    EXPECT_FALSE(f.edtB->CanFocus());
    EXPECT_THROW(f.edtB->SetFocus(), std::logic_error);
    EXPECT_EQ(f.form.ActiveControl(), f.edtA1);
}

TEST(Focus, TabCyclesThroughTheSequenceAndDestroyedControlsAreForgotten) {
    FocusForm f;
    f.form.Show();
    f.form.DeliverKey(VK_TAB);
    EXPECT_EQ(f.form.ActiveControl(), f.edtA2);
    f.form.DeliverKey(VK_TAB);
    EXPECT_EQ(f.form.ActiveControl(), f.edtB);
    f.form.DeliverKey(VK_TAB);
    EXPECT_EQ(f.form.ActiveControl(), f.edtA1);
    f.form.DeliverKey(VK_TAB, ssShift);
    EXPECT_EQ(f.form.ActiveControl(), f.edtB);

    delete f.panB; // its edit leaves the form with it
    EXPECT_EQ(f.form.ActiveControl(), nullptr);
    f.edtA1->SetFocus();
    EXPECT_EQ(f.form.ActiveControl(), f.edtA1);
}

TEST(Focus, HiddenFormRemembersTheFocusForItsShow) {
    FocusForm f;
    f.edtB->SetFocus();
    EXPECT_TRUE(f.log.isEmpty());
    f.form.Show();
    EXPECT_EQ(f.form.ActiveControl(), f.edtB);
    EXPECT_EQ(f.log, QStringList({"enter panB", "enter edtB"}));
    f.form.Hide();
    f.form.Show(); // shown again: back to the start of the tab order
    EXPECT_EQ(f.form.ActiveControl(), f.edtA1);
}

TEST(Focus, ButtonClickTakesTheFocusAndARefusedMoveCancelsTheClick) {
    FocusForm f;
    auto* btn = new TButton(&f.form);
    btn->SetParent(&f.form);
    int clicks = 0;
    btn->OnClick = [&](TComponent&) { ++clicks; };
    f.form.Show();
    f.edtA1->OnExit = [](TComponent&) { throw Abort(); };
    EXPECT_FALSE(pla::Dispatch([&] { btn->UserClick(); }));
    EXPECT_EQ(clicks, 0);
    f.edtA1->OnExit = nullptr;
    EXPECT_TRUE(btn->UserClick());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.form.ActiveControl(), btn);
}

} // namespace
