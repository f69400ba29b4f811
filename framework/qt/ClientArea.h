#pragma once

#include <QWidget>

namespace pla {

// The area a form's controls are placed in. Its preferred size is the form's size, so the
// window around it opens at the form's bounds; resizing it is reported through onResize.
class ClientArea : public QWidget {
public:
    explicit ClientArea(QWidget* parent);

    void SetPreferredSize(const QSize& size);
    QSize sizeHint() const override { return preferred_; }
    QSize minimumSizeHint() const override { return {0, 0}; }

private:
    QSize preferred_{0, 0};
};

} // namespace pla
