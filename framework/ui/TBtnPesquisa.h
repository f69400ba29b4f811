#pragma once

#include "framework/ui/TSpeedButton.h"

class TWinControl;

// The lookup button placed beside an edit. It never takes the focus; the screen's click
// handler runs the lookup and writes the result into the tied edit.
class TBtnPesquisa : public TSpeedButton {
public:
    explicit TBtnPesquisa(TComponent* owner);

    TWinControl* Edit() const { return edit_; }
    void SetEdit(TWinControl* edit) { edit_ = edit; }
    // F2 or Alt+Down in the tied edit runs the lookup, as a click does.
    bool FormKey(TWinControl& focused, int key, TShiftState shift) override;

private:
    TWinControl* edit_ = nullptr;
};
