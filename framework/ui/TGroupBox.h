#pragma once

#include "framework/ui/TWinControl.h"

// A captioned frame around controls; its caption strip is not part of the client area.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);

    // Caption strip at the top (15 pixels) and a 2-pixel frame elsewhere.
    QRect ClientRect() const override;
};
