#include "framework/ui/TPanel.h"

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut b) {
    if (bevelOuter_ == b) return;
    bevelOuter_ = b;
    Changed(TChange::Appearance);
}

void TPanel::SetBevelInner(TBevelCut b) {
    if (bevelInner_ == b) return;
    bevelInner_ = b;
    Changed(TChange::Appearance);
}
