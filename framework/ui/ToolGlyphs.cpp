#include "framework/ui/ToolGlyphs.h"

#include "framework/ui/Colors.h"

#include <QPainter>
#include <QPainterPath>
#include <QVector>

namespace pla {

namespace {

QImage Blank(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(clOlive);
    return img;
}

// The classic 16-colour palette; olive is one of its entries, so the transparent colour
// survives the reduction exactly.
QVector<QRgb> SixteenColours() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QImage Reduce(const QImage& img) {
    return img.convertToFormat(QImage::Format_Indexed8, SixteenColours(),
                               Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace

QImage ToolGlyphs::Tool(Kind kind) {
    QImage img = Blank(16);
    QPainter p(&img);
    auto pen = [&](const QColor& c, int w) { p.setPen(QPen(c, w, Qt::SolidLine, Qt::SquareCap)); };
    switch (kind) {
    case Kind::Include:
        pen(QColor(0, 128, 0), 3);
        p.drawLine(8, 3, 8, 13);
        p.drawLine(3, 8, 13, 8);
        break;
    case Kind::Change:
        pen(QColor(0, 0, 160), 2);
        p.drawLine(3, 13, 12, 4);
        pen(clBlack, 1);
        p.drawLine(2, 14, 4, 14);
        break;
    case Kind::Delete:
    case Kind::Erase:
        pen(QColor(192, 0, 0), 3);
        p.drawLine(3, 8, 13, 8);
        break;
    case Kind::Find:
        pen(clBlack, 2);
        p.drawEllipse(3, 3, 7, 7);
        p.drawLine(10, 10, 14, 14);
        break;
    case Kind::Verify:
    case Kind::Redistribute:
        pen(QColor(0, 0, 160), 2);
        p.drawArc(3, 3, 10, 10, 30 * 16, 300 * 16);
        p.drawLine(12, 2, 12, 6);
        break;
    case Kind::Confirm:
        pen(QColor(0, 128, 0), 2);
        p.drawLine(3, 8, 6, 12);
        p.drawLine(6, 12, 13, 3);
        break;
    case Kind::Cancel:
    case Kind::Close:
        pen(QColor(192, 0, 0), 2);
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    case Kind::Print:
        // A dark printer with its paper outlined and a green light: grey alone reads as a
        // disabled button.
        p.fillRect(2, 6, 12, 6, QColor(64, 64, 64));
        pen(clBlack, 1);
        p.setBrush(clWhite);
        p.drawRect(4, 2, 7, 4);
        p.drawRect(4, 10, 7, 4);
        p.fillRect(11, 7, 2, 2, QColor(0, 192, 0));
        break;
    case Kind::Help:
        pen(QColor(0, 0, 160), 2);
        p.drawArc(4, 2, 8, 7, 0, 180 * 16);
        p.drawLine(12, 5, 8, 10);
        p.drawPoint(8, 13);
        break;
    case Kind::Generate:
        p.fillRect(3, 3, 10, 10, QColor(0, 128, 128));
        break;
    }
    return img;
}

QImage ToolGlyphs::CheckBox(bool checked) {
    QImage img = Blank(16);
    {
        QPainter p(&img);
        p.setPen(QColor(128, 128, 128));
        p.setBrush(clWhite);
        p.drawRect(QRect(2, 2, 11, 11));
        if (checked) {
            QPen tick(clBlack);
            tick.setWidth(2);
            p.setPen(tick);
            p.drawLine(QPoint(4, 7), QPoint(6, 10));
            p.drawLine(QPoint(6, 10), QPoint(11, 4));
        }
    }
    return Reduce(img);
}

QImage ToolGlyphs::StatusLight(Light light) {
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
    QImage img = Blank(17);
    {
        QPainter p(&img);
        p.setPen(clBlack);
        p.setBrush(dark);
        p.drawEllipse(QRect(1, 1, 14, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(bright);
        p.drawEllipse(QRect(4, 4, 8, 8));
        p.setBrush(clWhite);
        p.drawRect(QRect(6, 5, 2, 2));
    }
    return Reduce(img);
}

} // namespace pla
