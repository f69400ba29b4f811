#include "framework/qt/PanelWidget.h"

#include <QPainter>

namespace pla {

PanelWidget::PanelWidget(QWidget* parent) : QFrame(parent) {
    setAutoFillBackground(true);
    setFrameShape(QFrame::NoFrame);
}

void PanelWidget::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
}

void PanelWidget::SetBevels(int outer, int inner) {
    outer_ = outer;
    inner_ = inner;
    update();
}

void PanelWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    QRect r = rect().adjusted(0, 0, -1, -1);
    auto bevel = [&](int kind) {
        if (kind == 0) return;
        const QColor topLeft = kind == 2 ? light : dark;
        const QColor bottomRight = kind == 2 ? dark : light;
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    };
    bevel(outer_);
    bevel(inner_);
    if (!caption_.isEmpty()) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::WindowText));
        p.setFont(font());
        p.drawText(rect(), Qt::AlignCenter, caption_);
    }
}

} // namespace pla
