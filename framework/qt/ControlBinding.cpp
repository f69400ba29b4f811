#include "framework/qt/ControlBinding.h"

#include "framework/qt/FormRenderer.h"
#include "framework/ui/AccessibleName.h"
#include "framework/ui/TControl.h"

namespace pla {

ControlBinding::ControlBinding(FormRenderer& renderer, TControl& control, QWidget* widget)
    : renderer_(renderer), control_(control), widget_(widget) {}

ControlBinding::~ControlBinding() = default;

void ControlBinding::Sync(TChange what) {
    if (!widget_) return;
    SyncScope scope(*this);
    switch (what) {
    case TChange::Bounds:
        SyncBounds();
        break;
    case TChange::Enabled:
        widget_->setEnabled(control_.Enabled());
        break;
    case TChange::Visible:
        widget_->setVisible(control_.Visible());
        break;
    case TChange::Text:
        SyncText();
        break;
    case TChange::Appearance:
        SyncAppearance();
        break;
    case TChange::Items:
        SyncItems();
        break;
    case TChange::Selection:
        SyncSelection();
        break;
    case TChange::Data:
        SyncData();
        break;
    default:
        break;
    }
}

void ControlBinding::SyncAll() {
    if (!widget_) return;
    SyncScope scope(*this);
    SyncBounds();
    SyncAppearance();
    SyncItems();
    SyncText();
    SyncSelection();
    SyncData();
    widget_->setEnabled(control_.Enabled());
    widget_->setVisible(control_.Visible());
}

void ControlBinding::SetEnabledColor(QPalette& palette, QPalette::ColorRole role,
                                     const QColor& color) {
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
}

void ControlBinding::SyncBounds() {
    widget_->setGeometry(control_.BoundsRect());
}

void ControlBinding::SyncAppearance() {
    widget_->setToolTip(control_.Hint());
    // Said by screen readers and found by desktop test robots: the label's or caption's words.
    widget_->setAccessibleName(AccessibleName(control_));
    widget_->setFont(FormRenderer::QtFont(control_.Font(), widget_->font()));
    QPalette pal = widget_->palette();
    SetEnabledColor(pal, QPalette::WindowText, control_.Font().Color);
    SetEnabledColor(pal, QPalette::Text, control_.Font().Color);
    SetEnabledColor(pal, QPalette::ButtonText, control_.Font().Color);
    widget_->setPalette(pal);
}

} // namespace pla
