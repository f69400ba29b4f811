#include "framework/ui/TButton.h"

#include "framework/ui/TForm.h"

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::Click() {
    if (modalResult_ != mrNone)
        if (TForm* f = ParentForm()) f->SetModalResult(modalResult_);
    TWinControl::Click();
}

bool TButton::UserClick() {
    if (!IsEnabledInTree() || !IsVisibleInTree()) return false;
    if (TForm* f = ParentForm(); f && f->Showing() && CanFocus()) SetFocus();
    Click();
    return true;
}

void TButton::DefaultKeyPress(QChar& ch) {
    if (ch == QLatin1Char(' ') || ch.unicode() == 13) {
        ch = QChar();
        Click();
    }
}
