#pragma once

#include "framework/qt/ControlBinding.h"

namespace pla {

// Labels and field labels (TLabel, TDBText): the caption with its alignment, font and colour.
// The caption is always shown whole: where the desktop's font needs more room than the
// control's bounds give, the widget grows (a left-aligned label to the right, and in height
// about its own middle).
class LabelBinding : public ControlBinding {
public:
    LabelBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

protected:
    void SyncBounds() override;
    void SyncText() override;
    void SyncAppearance() override;
};

} // namespace pla
