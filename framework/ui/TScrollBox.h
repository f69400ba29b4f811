#pragma once

#include "framework/ui/TWinControl.h"

#include <QSize>

// A container whose content may scroll in the front end; headless it lays out like a panel.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* owner);

    // The smallest area the content is laid out in: when the box is smaller, its content
    // keeps this size and the box scrolls, instead of squeezing what it holds. Empty: none.
    QSize ContentMinimum() const { return contentMinimum_; }
    void SetContentMinimum(const QSize& size);

    // At least ContentMinimum(), otherwise the box's own size.
    QRect ClientRect() const override;

private:
    QSize contentMinimum_;
};
