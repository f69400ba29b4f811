#include "framework/ui/TSpeedButton.h"

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetGlyph(const QImage& image) {
    glyph_ = image;
    Changed(TChange::Appearance);
}

void TSpeedButton::SetFlat(bool f) {
    if (flat_ == f) return;
    flat_ = f;
    Changed(TChange::Appearance);
}
