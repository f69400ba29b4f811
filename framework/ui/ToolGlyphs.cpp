#include "framework/ui/ToolGlyphs.h"

#include "framework/ui/Colors.h"

#include <QPainter>
#include <QPainterPath>

namespace pla {

namespace {
QImage Blank(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(clOlive);
    return img;
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
        p.fillRect(2, 6, 12, 6, QColor(160, 160, 160));
        p.fillRect(4, 2, 8, 4, clWhite);
        p.fillRect(4, 11, 8, 3, clWhite);
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
    QPainter p(&img);
    p.fillRect(2, 2, 12, 12, clWhite);
    p.setPen(QColor(64, 64, 64));
    p.drawLine(2, 2, 13, 2);
    p.drawLine(2, 2, 2, 13);
    p.setPen(QColor(192, 192, 192));
    p.drawLine(13, 3, 13, 13);
    p.drawLine(3, 13, 13, 13);
    if (checked) {
        p.setPen(QPen(clBlack, 2));
        p.drawLine(4, 7, 7, 10);
        p.drawLine(7, 10, 11, 4);
    }
    return img;
}

QImage ToolGlyphs::Light(const QColor& color) {
    QImage img = Blank(17);
    QPainter p(&img);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(color);
    p.drawEllipse(2, 2, 12, 12);
    return img;
}

} // namespace pla
