#pragma once

#include "framework/qt/ControlBinding.h"

#include <vector>

class QToolButton;

namespace pla {

// The record navigator: one tool button per visible navigator button, enabled as the model
// says; a click is the model's button click.
class NavigatorBinding : public ControlBinding {
public:
    NavigatorBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

protected:
    void SyncBounds() override;
    void SyncAppearance() override;
    void SyncData() override;

private:
    std::vector<QToolButton*> buttons_;
};

} // namespace pla
