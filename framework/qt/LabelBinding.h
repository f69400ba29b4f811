#pragma once

#include "framework/qt/ControlBinding.h"

namespace pla {

// Labels and field labels (TLabel, TDBText): the caption with its alignment, font and colour.
class LabelBinding : public ControlBinding {
public:
    LabelBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

protected:
    void SyncText() override;
    void SyncAppearance() override;
};

} // namespace pla
