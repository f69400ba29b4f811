#pragma once

#include "framework/print/PrintCommand.h"

#include <QSizeF>
#include <QString>
#include <QVector>

// One printed page: its paper size and its drawing commands in drawing order. The Add...
// helpers are how layouts write pages; texts are fitted here, so a text never leaves its box.
class PrintPage {
public:
    explicit PrintPage(const QSizeF& sizeMm = {});

    QSizeF Size() const { return size_; }
    const QVector<PrintCommand>& Commands() const { return commands_; }

    // Draws a box outline (or a filled box) of pen width mm.
    void AddBox(const QRectF& rect, double penWidth = 0.2, bool filled = false);
    // Draws a straight line.
    void AddLine(const QPointF& from, const QPointF& to, double penWidth = 0.2);
    // One line of text in rect at the largest size from maxPt down to minPt (half points) at
    // which it fits rect's width; when it does not fit even at minPt it is cut with an
    // ellipsis at minPt. The text is never drawn outside rect. Empty text adds nothing.
    void AddText(const QRectF& rect, const QString& text, double maxPt, double minPt = 5,
                 bool bold = false, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
    // Text wrapped at word boundaries into rect, at the largest size from maxPt down to minPt
    // at which every line fits; at minPt, lines that do not fit in the height are dropped and
    // the last line kept ends with an ellipsis. Lines are stacked from rect's top.
    void AddTextBlock(const QRectF& rect, const QString& text, double maxPt, double minPt = 5,
                      bool bold = false, Qt::Alignment align = Qt::AlignLeft);
    // Appends every command of other, moved by offset: a block laid out once (a label) drawn
    // again elsewhere without fitting its texts again.
    void AddCopy(const PrintPage& other, const QPointF& offset);
    // A QR code of text, as large a square as fits rect, centred in it. Throws
    // std::runtime_error when the text cannot be encoded.
    void AddCode(const QRectF& rect, const QString& text);

private:
    QSizeF size_;
    QVector<PrintCommand> commands_;
};
