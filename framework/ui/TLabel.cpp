#include "framework/ui/TLabel.h"

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 13);
}

void TLabel::SetAlignment(TAlignment a) {
    if (alignment_ == a) return;
    alignment_ = a;
    Changed(TChange::Appearance);
}

void TLabel::SetTransparent(bool t) {
    if (transparent_ == t) return;
    transparent_ = t;
    Changed(TChange::Appearance);
}
