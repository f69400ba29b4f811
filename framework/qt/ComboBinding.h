#pragma once

#include "framework/qt/ControlBinding.h"

namespace pla {

// Drop-down lists: items and index from the model; a choice in the pop-up list is the
// model's user choice (which fires its change event), never a silent index change.
class ComboBinding : public ControlBinding {
public:
    ComboBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

protected:
    void SyncItems() override;
    void SyncSelection() override;
    void SyncAppearance() override;
};

} // namespace pla
