#pragma once

#include "framework/ui/ModalResult.h"
#include "framework/ui/TWinControl.h"

#include <QString>
#include <vector>

class TMainMenu;
class TClientDataSet;

// How the front end should present a form.
enum class TFormStyle { fsNormal, fsMDIChild };
enum class TBorderStyle { bsSizeable, bsDialog, bsSingle };

// A top-level window. Holds the single focused control and runs focus moves, delivers keys
// (focused control first, then menu shortcuts), and is shown through the installed form host.
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner = nullptr);
    ~TForm() override;

    // --- focus ---
    // The focused control (or the one that will get the focus when the form is shown).
    TWinControl* ActiveControl() const { return focused_; }
    // Moves the focus to target. While the form is shown: the exit events of the old control
    // and of each of its containers not containing target (innermost first), then the enter
    // events of each container of target not containing the old control (outermost first),
    // then target's; ActiveControl() is target while they run. A handler that throws stops
    // the move and the exception goes on; when it did not place the focus elsewhere itself,
    // the focus returns to the old control. A handler that moves the focus ends this move
    // (its own move ran the events). A control that cannot take the focus throws
    // std::logic_error. While hidden, only remembers target for the next Show.
    void FocusControl(TWinControl* target);
    // Focusable controls in tab order (depth first through containers).
    std::vector<TWinControl*> TabSequence() const;
    // Focus to the next (or previous) control of the tab sequence, wrapping around.
    void SelectNext(bool forward = true);

    // --- input ---
    // A keyboard press: the focused control's key-down handlers; when they let it pass, an
    // enabled menu item with that shortcut is clicked; otherwise the matching character (if
    // any: Backspace, Enter, Escape, Space, Tab, letters, digits) is typed. Tab moves the
    // focus unless the focused control wants it.
    //
    // Keyboard conventions of the desktop come in between: Ctrl+Tab and Ctrl+Shift+Tab move
    // to the next and previous control also out of a control that wants Tab (a grid); F2 and
    // Alt+Down click the lookup button of an edit (in a grid, the cell's "..." button);
    // Ctrl+A in an edit selects its whole text instead of reaching the menu; after the menu,
    // DialogKey may take the key.
    void DeliverKey(int key, TShiftState shift = ssNone);
    // DeliverKey without the typed character: true when the key was taken (key may be changed
    // or zeroed by the handlers); false when it should still type its character.
    bool DeliverCommandKey(int& key, TShiftState shift);
    // A typed character: the focused control's key-press handlers, then the control.
    void DeliverChar(QChar ch);
    // The character a key produces, or a null QChar.
    static QChar CharForKey(int key, TShiftState shift);

    // --- menu ---
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);

    // --- showing ---
    bool Showing() const { return showing_; }
    bool IsModal() const { return modal_; }
    // Shows the form through the form host (brought to front if already shown); the focus
    // goes to the remembered control or the first of the tab sequence.
    void Show();
    // Hides the form through the host (no exit events); the focus is forgotten.
    void Hide();
    // Visible(true/false) on a form is Show()/Hide().
    void SetVisible(bool value) override;
    // Shows the form modally; returns when the host's modal run ends, with ModalResult()
    // (mrCancel when none was set). The form is hidden afterwards.
    int ShowModal();
    // Asks CloseQuery first: a false answer (or an exception, which goes on) keeps the form
    // open. Then, for a modal form: sets ModalResult to mrCancel when none was set (the run
    // ends). Otherwise: OnClose, then the form is hidden through the host.
    void Close();
    // Whether the form may close now; a screen with pending work asks the user here. The
    // base answers true.
    virtual bool CloseQuery() { return true; }
    int ModalResult() const { return modalResult_; }
    // Setting a result other than mrNone ends a modal run.
    void SetModalResult(int result);

    // True while the form holds a change the user has not confirmed yet (a host asks before
    // quitting). None by default.
    virtual bool PendingChange() const { return false; }

    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle s) { formStyle_ = s; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s) { borderStyle_ = s; }

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

    // --- datasets, so tools can reach them by name ---
    void RegisterDataSet(TClientDataSet* ds);
    TClientDataSet* FindDataSet(const QString& name) const;
    const std::vector<TClientDataSet*>& DataSets() const { return dataSets_; }

    // --- life cycle ---
    // Runs the creation handler FormCreate (call once, right after construction); its
    // exceptions go on to the caller.
    void DoCreate() { FormCreate(); }
    // Runs the teardown handler FormDestroy, then destroys the form, also when the handler
    // throws (the exception then goes on).
    static void Free(TForm* form);

    // Drops references to a control that leaves the form or is destroyed.
    void ForgetControl(TWinControl* c);

protected:
    // A key nobody took, not even the menu: a dialog's Enter and Esc. True when taken.
    virtual bool DialogKey(int key, TShiftState shift);
    // Creation and teardown handlers of a screen; see DoCreate and Free.
    virtual void FormCreate() {}
    virtual void FormDestroy() {}

private:
    void ApplyInitialFocus();
    void HideForm();
    TWinControl* ParentWithin(TWinControl* c) const;

    TWinControl* focused_ = nullptr; // what ActiveControl() reports
    TWinControl* entered_ = nullptr; // innermost control whose enter events have run
    std::vector<TWinControl*> exiting_;
    unsigned focusSerial_ = 0;
    TMainMenu* menu_ = nullptr;
    bool showing_ = false;
    bool modal_ = false;
    int modalResult_ = mrNone;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    TBorderStyle borderStyle_ = TBorderStyle::bsSizeable;
    std::vector<TClientDataSet*> dataSets_;
};
