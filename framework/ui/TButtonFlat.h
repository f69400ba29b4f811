#pragma once

#include "framework/ui/TSpeedButton.h"

// The flat tool button of the tool panels: 21 by 21, flat, hint shown.
class TButtonFlat : public TSpeedButton {
public:
    explicit TButtonFlat(TComponent* owner);
};
