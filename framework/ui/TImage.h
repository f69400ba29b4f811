#pragma once

#include "framework/ui/TGraphicControl.h"

#include <QImage>

// Holds a picture (screens keep glyphs in hidden images and draw them into grid cells).
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);

    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& image);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool t);

private:
    QImage picture_;
    bool transparent_ = false;
};
