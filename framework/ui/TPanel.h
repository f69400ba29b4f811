#pragma once

#include "framework/ui/TWinControl.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// A container with an optional caption (shown centred) and bevels; title bars are panels.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);

    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut b);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut b);

private:
    TBevelCut bevelOuter_ = TBevelCut::bvRaised;
    TBevelCut bevelInner_ = TBevelCut::bvNone;
};
