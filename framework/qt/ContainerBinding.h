#pragma once

#include "framework/qt/ControlBinding.h"

namespace pla {

// Panels, group boxes, scroll boxes and other containers: background colour, caption and
// bevels; children are placed inside by their own bindings.
class ContainerBinding : public ControlBinding {
public:
    ContainerBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

protected:
    void SyncText() override;
    void SyncAppearance() override;
};

} // namespace pla
