#pragma once

#include "framework/ui/TControl.h"

// A control that never takes the focus (labels, tool buttons, images): clicking it leaves
// the focus where it is.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
};
