#include "framework/qt/ScrollBoxBinding.h"

#include "framework/ui/TScrollBox.h"

#include <QScrollArea>

namespace pla {

ScrollBoxBinding::ScrollBoxBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, new QScrollArea(parent)) {
    auto* area = static_cast<QScrollArea*>(widget_.data());
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    // The model lays the content out; the area only scrolls it.
    area->setWidgetResizable(false);
    content_ = new QWidget;
    content_->setAutoFillBackground(true);
    area->setWidget(content_);
}

void ScrollBoxBinding::SyncBounds() {
    ControlBinding::SyncBounds();
    if (content_) content_->resize(static_cast<TScrollBox&>(control_).ClientRect().size());
}

void ScrollBoxBinding::SyncAppearance() {
    ControlBinding::SyncAppearance();
    if (!content_) return;
    QPalette pal = content_->palette();
    pal.setColor(QPalette::Window, control_.Color());
    content_->setPalette(pal);
}

} // namespace pla
