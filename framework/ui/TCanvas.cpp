#include "framework/ui/TCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace {
QFont ToQFont(const TFont& f) {
    QFont q(f.Name);
    q.setPointSize(f.Size > 0 ? f.Size : 8);
    q.setBold(f.Bold);
    return q;
}
} // namespace

void TCanvas::FillRect(const QRect& r) {
    if (painter_) painter_->fillRect(r, Brush.Color);
}

void TCanvas::FrameRect(const QRect& r) {
    if (!painter_ || r.isEmpty()) return;
    painter_->save();
    painter_->setPen(QPen(Pen.Color, Pen.Width));
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(r.adjusted(0, 0, -1, -1));
    painter_->restore();
}

void TCanvas::Draw(int x, int y, const QImage& image) {
    if (painter_ && !image.isNull()) painter_->drawImage(QPoint(x, y), image);
}

void TCanvas::StretchDraw(const QRect& r, const QImage& image) {
    if (painter_ && !image.isNull()) painter_->drawImage(r, image);
}

void TCanvas::TextRect(const QRect& r, int x, int y, const QString& text) {
    if (!painter_) return;
    painter_->save();
    painter_->fillRect(r, Brush.Color);
    painter_->setClipRect(r);
    painter_->setFont(ToQFont(Font));
    painter_->setPen(Font.Color);
    QFontMetrics fm(painter_->font());
    painter_->drawText(QPoint(x, y + fm.ascent()), text);
    painter_->restore();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    if (!painter_) return;
    painter_->save();
    painter_->setFont(ToQFont(Font));
    painter_->setPen(Font.Color);
    QFontMetrics fm(painter_->font());
    painter_->drawText(QPoint(x, y + fm.ascent()), text);
    painter_->restore();
}

int TCanvas::TextWidth(const QString& text) const {
    return QFontMetrics(ToQFont(Font)).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& text) const {
    return QFontMetrics(ToQFont(Font)).boundingRect(text).height();
}

void TCanvas::BrushCopy(const QRect& dest, const QImage& image, const QRect& source,
                        const QColor& transparent) {
    if (!painter_ || dest.isEmpty() || source.isEmpty()) return;
    QImage src = image.convertToFormat(QImage::Format_ARGB32);
    QImage part(source.size(), QImage::Format_ARGB32);
    part.fill(Brush.Color);
    const QRgb key = transparent.rgb() & 0xFFFFFF;
    const QRgb fill = Brush.Color.rgb();
    for (int y = 0; y < source.height(); ++y) {
        int sy = source.top() + y;
        if (sy < 0 || sy >= src.height()) continue;
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
        QRgb* out = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            int sx = source.left() + x;
            if (sx < 0 || sx >= src.width()) continue;
            QRgb p = in[sx];
            out[x] = ((p & 0xFFFFFF) == key || qAlpha(p) == 0) ? fill : (p | 0xFF000000);
        }
    }
    painter_->drawImage(dest, part);
}
