#include "framework/ui/TImage.h"

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
}

void TImage::SetPicture(const QImage& image) {
    picture_ = image;
    Changed(TChange::Appearance);
}

void TImage::SetTransparent(bool t) {
    if (transparent_ == t) return;
    transparent_ = t;
    Changed(TChange::Appearance);
}
