#pragma once

#include "framework/ui/TGraphicControl.h"

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TWinControl;

// Static text; never takes the focus. A label may name a control (its FocusControl): the
// label's caption is then that control's name for a screen reader.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool t);
    // The control this label names, or nullptr. Only compared, never followed: the control
    // may go before the label.
    const TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(const TWinControl* control) { focusControl_ = control; }

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool transparent_ = true;
    const TWinControl* focusControl_ = nullptr;
};
