#pragma once

#include "framework/ui/Keys.h"
#include "framework/ui/TControl.h"

#include <QChar>
#include <vector>

// A control that can hold the keyboard focus and contain other controls. Children are laid
// out by their Align inside ClientRect(); focus moves are run by the form (TForm).
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Children in insertion order (the order aligned controls with equal positions keep).
    const std::vector<TControl*>& Controls() const { return controls_; }
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    // True for this control itself and every control inside it, at any depth.
    bool ContainsControl(const TControl* c) const;

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value) { tabStop_ = value; }
    // Position among the parent's focusable children (0 first). Setting it moves the others.
    int TabOrder() const;
    void SetTabOrder(int order);
    // Focusable children in tab order.
    const std::vector<TWinControl*>& TabList() const { return tabList_; }

    // Enabled and visible in its tree, and on a form.
    bool CanFocus() const;
    bool Focused() const;
    // Moves the form's focus here (see TForm::FocusControl).
    void SetFocus();
    // SetFocus where it can act: a hidden form only remembers the control; on a shown form a
    // control that cannot take the focus (disabled, say by the branch lock) leaves the focus
    // where it is. Used before a message, so the user lands on the field at fault.
    void FocusIfPossible();

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    // The control's size changed (a window resized, a parent re-aligned it); runs before its
    // children are laid out again, so it may resize them.
    TNotifyEvent OnResize;
    // See every key first; setting the key (or char) to 0 swallows it.
    Event<TComponent&, int&, TShiftState> OnKeyDown;
    Event<TComponent&, QChar&> OnKeyPress;

    // A key going down while this control has the focus: OnKeyDown, then the control's own
    // handling when it was not swallowed. The key is 0 afterwards when it was used up.
    void KeyDown(int& key, TShiftState shift);
    // A character typed while this control has the focus: OnKeyPress, then the control's own
    // handling when it was not swallowed.
    void KeyPress(QChar& ch);
    // True when the control uses Tab itself instead of moving the focus.
    virtual bool WantsTab() const { return false; }

    // The area children are laid out in, in this control's coordinates.
    virtual QRect ClientRect() const { return QRect(0, 0, Width(), Height()); }
    // Lays out the aligned children (top, bottom, left, right, then client).
    void Realign();

    // Run by the form while moving the focus.
    virtual void DoEnter();
    virtual void DoExit();

protected:
    virtual void DefaultKeyDown(int& key, TShiftState shift) {}
    virtual void DefaultKeyPress(QChar& ch) {}
    void BoundsChanged() override;

private:
    friend class TControl;
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);

    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false;
    bool aligning_ = false;
};
