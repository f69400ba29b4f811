#pragma once

#include "framework/qt/ControlBinding.h"

namespace pla {

// Drop-down lists: items and index from the model; a choice in the pop-up list is the
// model's user choice (which fires its change event), never a silent index change.
class ComboBinding : public ControlBinding {
public:
    ComboBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

    // Alt+Down, Alt+Up and F4 open the list, as in every desktop combo box.
    bool WidgetKey(const QKeyEvent& key) const override;

protected:
    void SyncItems() override;
    void SyncSelection() override;
    void SyncAppearance() override;
};

} // namespace pla
