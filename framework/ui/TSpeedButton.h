#pragma once

#include "framework/ui/TGraphicControl.h"

#include <QImage>

// A tool button with a glyph: never takes the focus, so clicking it leaves the focus where
// it is.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);

    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& image);
    bool Flat() const { return flat_; }
    void SetFlat(bool f);

private:
    QImage glyph_;
    bool flat_ = false;
};
