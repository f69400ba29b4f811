#include "framework/ui/TBitBtn.h"

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {
    SetBounds(0, 0, 21, 21);
}

void TBitBtn::SetGlyph(const QImage& image) {
    glyph_ = image;
    Changed(TChange::Appearance);
}

void TBitBtn::SetFlat(bool f) {
    if (flat_ == f) return;
    flat_ = f;
    Changed(TChange::Appearance);
}

bool TBitBtn::UserClick() {
    return TControl::UserClick();
}
