#pragma once

#include "framework/ui/TWinControl.h"

// A container whose content may scroll in the front end; headless it lays out like a panel.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* owner);
};
