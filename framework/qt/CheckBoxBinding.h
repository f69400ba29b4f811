#pragma once

#include "framework/qt/ControlBinding.h"

namespace pla {

// Check boxes: caption and check state from the model; a click is the model's user click.
class CheckBoxBinding : public ControlBinding {
public:
    CheckBoxBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

protected:
    void SyncText() override;
    void SyncSelection() override;
};

} // namespace pla
