#pragma once

#include "framework/ui/TButton.h"

#include <QImage>

// A push button drawn with a glyph, like a tool button, that Tab reaches: Space or Enter
// clicks it while focused. A click (mouse or code) leaves the focus where it is, as a tool
// button's does, so the exit handlers of the control being edited do not run first.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner);

    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& image);
    bool Flat() const { return flat_; }
    void SetFlat(bool f);

    bool UserClick() override;

private:
    QImage glyph_;
    bool flat_ = false;
};
