#pragma once

#include <QColor>
#include <QString>

// The font of a control: what the screens set (bold, colour) and what a renderer needs.
struct TFont {
    QString Name = QStringLiteral("Tahoma");
    int Size = 8; // points
    bool Bold = false;
    QColor Color{0, 0, 0};

    bool operator==(const TFont&) const = default;
};
