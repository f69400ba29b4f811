#pragma once

#include "framework/ui/TFont.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

// Fill settings of a canvas.
struct TBrush {
    QColor Color{255, 255, 255};
};
// Line settings of a canvas.
struct TPen {
    QColor Color{0, 0, 0};
    int Width = 1;
};

// A drawing surface: brush, pen and font plus the drawing calls grid handlers use. Draws
// through a QPainter while one is attached (during a paint); without one every call does
// nothing. Rectangles are QRects (left, top, width, height).
class TCanvas {
public:
    TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBrush Brush;
    TPen Pen;
    TFont Font;

    // Attaches a painter for the duration of a paint; nullptr detaches.
    void SetPainter(QPainter* painter) { painter_ = painter; }
    QPainter* Painter() const { return painter_; }

    // Fills r with the brush colour.
    void FillRect(const QRect& r);
    // Outline of r with the pen.
    void FrameRect(const QRect& r);
    // Draws the image unscaled with its top-left corner at (x, y).
    void Draw(int x, int y, const QImage& image);
    // Draws the image scaled into r.
    void StretchDraw(const QRect& r, const QImage& image);
    // Fills r with the brush, then writes text at (x, y) (its top-left), clipped to r.
    void TextRect(const QRect& r, int x, int y, const QString& text);
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // Copies the source part of image into dest: pixels of the transparent colour (and any
    // part of source outside the image) take the brush colour. Unscaled when the two
    // rectangles have the same size.
    void BrushCopy(const QRect& dest, const QImage& image, const QRect& source,
                   const QColor& transparent);

private:
    QPainter* painter_ = nullptr;
};
