#include "framework/ui/TGroupBox.h"

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 105);
}

QRect TGroupBox::ClientRect() const {
    return QRect(2, 15, std::max(0, Width() - 4), std::max(0, Height() - 17));
}
