#include "framework/qt/PagePainter.h"

#include "framework/print/TextFitter.h"

#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace pla {

namespace {

// The paper of a page, turned when it is wider than tall (a label roll).
QPageLayout Layout(const QSizeF& mm) {
    const bool wide = mm.width() > mm.height();
    const QPageSize size(wide ? mm.transposed() : mm, QPageSize::Millimeter);
    return QPageLayout(size, wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// The code as a picture of one pixel per module, drawn scaled without smoothing: one image
// per code in the PDF instead of hundreds of rectangles. The units of one packaging share it.
QImage CodeImage(const PrintCommand& c) {
    static QString lastText;
    static QImage last;
    if (c.text == lastText && last.width() == c.modules) return last;
    QImage image(c.modules, c.modules, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < c.modules; ++y)
        for (int x = 0; x < c.modules; ++x)
            image.setPixel(x, y, c.dark.testBit(y * c.modules + x) ? 1 : 0);
    lastText = c.text;
    last = image;
    return image;
}

} // namespace

void PagePainter::DrawPage(QPainter& painter, const PrintPage& page) {
    const double sx = painter.device()->logicalDpiX() / 25.4;
    const double sy = painter.device()->logicalDpiY() / 25.4;
    auto px = [&](const QRectF& r) {
        return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    double fontSize = -1;
    bool bold = false;
    for (const PrintCommand& c : page.Commands()) {
        switch (c.kind) {
        case PrintCommand::Kind::Text:
            painter.setPen(Qt::black);
            if (c.fontSize != fontSize || c.bold != bold) {
                fontSize = c.fontSize;
                bold = c.bold;
                painter.setFont(TextFitter::Font(fontSize, bold));
            }
            painter.drawText(px(c.rect), static_cast<int>(c.align) | Qt::TextSingleLine, c.text);
            break;
        case PrintCommand::Kind::Box:
            if (c.filled) {
                painter.fillRect(px(c.rect), Qt::black);
            } else {
                painter.setPen(QPen(Qt::black, c.penWidth * sx));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(px(c.rect));
            }
            break;
        case PrintCommand::Kind::Line:
            painter.setPen(QPen(Qt::black, c.penWidth * sx));
            painter.drawLine(
                QLineF(c.line.x1() * sx, c.line.y1() * sy, c.line.x2() * sx, c.line.y2() * sy));
            break;
        case PrintCommand::Kind::Code:
            if (c.modules > 0) painter.drawImage(px(c.rect), CodeImage(c));
            break;
        }
    }
    painter.restore();
}

bool PagePainter::DrawDocument(QPagedPaintDevice& device, const PrintDocument& document) {
    if (document.pages.isEmpty()) return false;
    device.setPageLayout(Layout(document.pages.first().Size()));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    for (int i = 0; i < document.pages.size(); ++i) {
        if (i > 0) {
            device.setPageLayout(Layout(document.pages[i].Size()));
            if (!device.newPage()) return false;
        }
        DrawPage(painter, document.pages[i]);
    }
    return painter.end();
}

} // namespace pla
