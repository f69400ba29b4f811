#pragma once

#include "framework/ui/TWinControl.h"

// A check box. Changing Checked (by the user or from code) fires OnClick, as the desktop
// runtime does; a user click or Space toggles it.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);

    bool Checked() const { return checked_; }
    void SetChecked(bool value);

    // Toggles; OnClick fires through the change.
    void Click() override;
    // Focus first (a refused focus move stops it), then toggles.
    bool UserClick() override;

protected:
    void DefaultKeyPress(QChar& ch) override;

private:
    bool checked_ = false;
};
