#include "framework/print/PrintPage.h"

#include "framework/print/QrCode.h"
#include "framework/print/TextFitter.h"

#include <algorithm>

PrintPage::PrintPage(const QSizeF& sizeMm) : size_(sizeMm) {}

void PrintPage::AddBox(const QRectF& rect, double penWidth, bool filled) {
    PrintCommand c;
    c.kind = PrintCommand::Kind::Box;
    c.rect = rect;
    c.penWidth = penWidth;
    c.filled = filled;
    commands_.push_back(std::move(c));
}

void PrintPage::AddLine(const QPointF& from, const QPointF& to, double penWidth) {
    PrintCommand c;
    c.kind = PrintCommand::Kind::Line;
    c.line = QLineF(from, to);
    c.penWidth = penWidth;
    commands_.push_back(std::move(c));
}

void PrintPage::AddText(const QRectF& rect, const QString& text, double maxPt, double minPt,
                        bool bold, Qt::Alignment align) {
    const QString simplified = text.simplified();
    if (simplified.isEmpty()) return;
    // The line's height bounds the size too, so a short row never spills over its neighbours.
    const double tallest = TextFitter::SizeForHeight(rect.height(), bold);
    maxPt = std::min(maxPt, tallest);
    minPt = std::min(minPt, maxPt);
    const TextFitter::Fit fit = TextFitter::FitLine(simplified, rect.width(), maxPt, minPt, bold);
    PrintCommand c;
    c.kind = PrintCommand::Kind::Text;
    c.rect = rect;
    c.text = fit.lines.value(0);
    c.fontSize = fit.size;
    c.bold = bold;
    c.align = align;
    commands_.push_back(std::move(c));
}

void PrintPage::AddTextBlock(const QRectF& rect, const QString& text, double maxPt, double minPt,
                             bool bold, Qt::Alignment align) {
    if (text.simplified().isEmpty()) return;
    const TextFitter::Fit fit =
        TextFitter::FitBlock(text, rect.width(), rect.height(), maxPt, minPt, bold);
    const double lineHeight = TextFitter::LineHeight(fit.size, bold);
    double top = rect.top();
    for (const QString& line : fit.lines) {
        PrintCommand c;
        c.kind = PrintCommand::Kind::Text;
        c.rect = QRectF(rect.left(), top, rect.width(), std::min(lineHeight, rect.bottom() - top));
        c.text = line;
        c.fontSize = fit.size;
        c.bold = bold;
        c.align = (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
        commands_.push_back(std::move(c));
        top += lineHeight;
    }
}

void PrintPage::AddCopy(const PrintPage& other, const QPointF& offset) {
    commands_.reserve(commands_.size() + other.commands_.size());
    for (PrintCommand c : other.commands_) {
        c.rect.translate(offset);
        c.line.translate(offset);
        commands_.push_back(std::move(c));
    }
}

void PrintPage::AddCode(const QRectF& rect, const QString& text) {
    const QrCode code = QrCode::Encode(text);
    const double side = std::min(rect.width(), rect.height());
    PrintCommand c;
    c.kind = PrintCommand::Kind::Code;
    c.rect = QRectF(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    c.text = text;
    c.modules = code.modules;
    c.dark = code.dark;
    commands_.push_back(std::move(c));
}
