#include "branch_generation/TickGlyphs.h"

#include <QPainter>
#include <QVector>

namespace pla {

namespace {

// The classic 16-colour palette; olive is one of its entries, so the background survives the
// reduction exactly.
QVector<QRgb> SixteenColours() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

} // namespace

QImage TickGlyphs::Box(bool ticked) {
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Background());
    {
        QPainter p(&img);
        p.setPen(QColor(0, 0, 0));
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRect(2, 2, 11, 11));
        if (ticked) {
            QPen tick(QColor(0, 0, 0));
            tick.setWidth(2);
            p.setPen(tick);
            p.drawLine(QPoint(4, 7), QPoint(6, 10));
            p.drawLine(QPoint(6, 10), QPoint(11, 4));
        }
    }
    return img.convertToFormat(QImage::Format_Indexed8, SixteenColours(),
                               Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace pla
