#pragma once

#include <QBitArray>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <Qt>

// One drawing command of a printed page. Geometry is in millimetres from the page's top left
// corner, type sizes in points. The layout has already decided everything: a text command is
// one line that fits its rectangle at its size, so whoever draws it only places it.
struct PrintCommand {
    enum class Kind { Text, Box, Line, Code };

    Kind kind = Kind::Text;
    QRectF rect;         // Text, Box, Code: where it goes
    QLineF line;         // Line: from p1 to p2
    QString text;        // Text: the line drawn; Code: what it encodes
    double fontSize = 0; // Text: points
    bool bold = false;   // Text
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter; // Text, inside rect
    double penWidth = 0.2;                                  // Box, Line: millimetres
    bool filled = false;                                    // Box: filled black instead of outlined
    int modules = 0;                                        // Code: modules per side
    QBitArray dark; // Code: modules row by row, true for dark
};
