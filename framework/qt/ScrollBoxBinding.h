#pragma once

#include "framework/qt/ControlBinding.h"

#include <QPointer>

namespace pla {

// Scroll boxes as a QScrollArea: the children sit on an inner widget of the box's client
// size, which scrolls when the box is smaller than its content's minimum.
class ScrollBoxBinding : public ControlBinding {
public:
    ScrollBoxBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

    QWidget* ChildHost() const override { return content_; }

protected:
    void SyncBounds() override;
    void SyncAppearance() override;

private:
    QPointer<QWidget> content_;
};

} // namespace pla
