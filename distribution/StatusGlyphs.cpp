#include "distribution/StatusGlyphs.h"

#include <QPainter>
#include <QVector>

namespace pla {

namespace {

// The classic 16-colour palette; olive is one of its entries, so the transparent colour
// survives the reduction exactly.
QVector<QRgb> SixteenColours() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QImage Canvas(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(StatusGlyphs::Background());
    return img;
}

QImage Reduce(const QImage& img) {
    return img.convertToFormat(QImage::Format_Indexed8, SixteenColours(),
                               Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace

QImage StatusGlyphs::StatusLight(Light light) {
    QColor dark, bright;
    switch (light) {
    case Light::Green:
        dark = QColor(0, 128, 0);
        bright = QColor(0, 255, 0);
        break;
    case Light::Grey:
        dark = QColor(128, 128, 128);
        bright = QColor(192, 192, 192);
        break;
    case Light::Red:
        dark = QColor(128, 0, 0);
        bright = QColor(255, 0, 0);
        break;
    }
    QImage img = Canvas(17);
    {
        QPainter p(&img);
        p.setPen(QColor(0, 0, 0));
        p.setBrush(dark);
        p.drawEllipse(QRect(1, 1, 14, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(bright);
        p.drawEllipse(QRect(4, 4, 8, 8));
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRect(6, 5, 2, 2));
    }
    return Reduce(img);
}

QImage StatusGlyphs::CheckBox(bool checked) {
    QImage img = Canvas(16);
    {
        QPainter p(&img);
        p.setPen(QColor(128, 128, 128));
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRect(2, 2, 11, 11));
        if (checked) {
            QPen tick(QColor(0, 0, 0));
            tick.setWidth(2);
            p.setPen(tick);
            p.drawLine(QPoint(4, 7), QPoint(6, 10));
            p.drawLine(QPoint(6, 10), QPoint(11, 4));
        }
    }
    return Reduce(img);
}

} // namespace pla
