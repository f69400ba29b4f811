#pragma once

#include "framework/ui/TGraphicControl.h"

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Static text; never takes the focus.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool t);

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool transparent_ = true;
};
