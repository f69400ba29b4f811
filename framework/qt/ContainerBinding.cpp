#include "framework/qt/ContainerBinding.h"

#include "framework/qt/PanelWidget.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TPanel.h"

#include <QGroupBox>

namespace pla {

namespace {

QWidget* MakeWidget(TControl& control, QWidget* parent) {
    if (dynamic_cast<TPanel*>(&control)) return new PanelWidget(parent);
    if (dynamic_cast<TGroupBox*>(&control)) {
        auto* box = new QGroupBox(parent);
        box->setAutoFillBackground(true);
        return box;
    }
    auto* w = new QWidget(parent);
    w->setAutoFillBackground(true);
    return w;
}

int BevelKind(TBevelCut b) {
    switch (b) {
    case TBevelCut::bvLowered:
        return 1;
    case TBevelCut::bvRaised:
        return 2;
    default:
        return 0;
    }
}

} // namespace

ContainerBinding::ContainerBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, MakeWidget(control, parent)) {
    widget_->setFocusPolicy(Qt::NoFocus);
}

void ContainerBinding::SyncText() {
    if (auto* panel = dynamic_cast<PanelWidget*>(widget_.data()))
        panel->SetCaption(control_.Caption());
    else if (auto* box = dynamic_cast<QGroupBox*>(widget_.data()))
        box->setTitle(control_.Caption());
}

void ContainerBinding::SyncAppearance() {
    ControlBinding::SyncAppearance();
    QPalette pal = widget_->palette();
    pal.setColor(QPalette::Window, control_.Color());
    widget_->setPalette(pal);
    if (auto* panel = dynamic_cast<PanelWidget*>(widget_.data())) {
        auto* p = static_cast<TPanel*>(&control_);
        panel->SetBevels(BevelKind(p->BevelOuter()), BevelKind(p->BevelInner()));
    }
}

} // namespace pla
