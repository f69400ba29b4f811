#include "framework/ui/TScrollBox.h"

#include <algorithm>

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetContentMinimum(const QSize& size) {
    if (size == contentMinimum_) return;
    contentMinimum_ = size;
    Realign();
    Changed(TChange::Bounds);
}

QRect TScrollBox::ClientRect() const {
    return QRect(0, 0, std::max(Width(), contentMinimum_.width()),
                 std::max(Height(), contentMinimum_.height()));
}
