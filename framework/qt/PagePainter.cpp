#include "framework/qt/PagePainter.h"

#include "framework/print/TextFitter.h"

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

} // namespace

void PagePainter::DrawPage(QPainter& painter, const PrintPage& page) {
    const double sx = painter.device()->logicalDpiX() / 25.4;
    const double sy = painter.device()->logicalDpiY() / 25.4;
    auto px = [&](const QRectF& r) {
        return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const PrintCommand& c : page.Commands()) {
        switch (c.kind) {
        case PrintCommand::Kind::Text:
            painter.setPen(Qt::black);
            painter.setFont(TextFitter::Font(c.fontSize, c.bold));
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
            painter.drawLine(QLineF(c.line.x1() * sx, c.line.y1() * sy, c.line.x2() * sx,
                                    c.line.y2() * sy));
            break;
        case PrintCommand::Kind::Code: {
            if (c.modules <= 0) break;
            const QRectF r = px(c.rect);
            const double m = r.width() / c.modules;
            // One rectangle per run of dark modules in a row keeps the PDF small.
            for (int y = 0; y < c.modules; ++y)
                for (int x = 0; x < c.modules;) {
                    if (!c.dark.testBit(y * c.modules + x)) {
                        ++x;
                        continue;
                    }
                    int end = x;
                    while (end < c.modules && c.dark.testBit(y * c.modules + end))
                        ++end;
                    painter.fillRect(QRectF(r.x() + x * m, r.y() + y * m, (end - x) * m, m),
                                     Qt::black);
                    x = end;
                }
            break;
        }
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
