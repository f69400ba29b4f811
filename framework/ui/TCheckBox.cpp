#include "framework/ui/TCheckBox.h"

#include "framework/ui/TForm.h"

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    Changed(TChange::Selection);
    OnClick(*this);
}

void TCheckBox::Click() {
    SetChecked(!checked_);
}

bool TCheckBox::UserClick() {
    if (!IsEnabledInTree() || !IsVisibleInTree()) return false;
    if (TForm* f = ParentForm(); f && f->Showing() && CanFocus()) SetFocus();
    Click();
    return true;
}

void TCheckBox::DefaultKeyPress(QChar& ch) {
    if (ch == QLatin1Char(' ')) {
        ch = QChar();
        Click();
    }
}
