#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// Measures text the way the print output draws it: one font family, no hinting, sizes in
// points, lengths in millimetres. Needs a Qt GUI application (the offscreen platform will do).
class TextFitter {
public:
    // What a fit decided: the type size and the lines to draw (cut marks an ellipsis).
    struct Fit {
        double size = 0;
        QStringList lines;
        bool cut = false;
    };

    // The font every printed text uses, at pt points.
    static QFont Font(double pt, bool bold);
    // Width of text in millimetres.
    static double Width(const QString& text, double pt, bool bold);
    // Height of one line in millimetres.
    static double LineHeight(double pt, bool bold);
    // The largest size (half points) whose line height fits height millimetres.
    static double SizeForHeight(double height, bool bold);

    // One line: the largest size from maxPt down to minPt (half points) at which text fits
    // width; otherwise minPt and the text cut with an ellipsis so that it fits.
    static Fit FitLine(const QString& text, double width, double maxPt, double minPt, bool bold);
    // Word-wrapped lines: the largest size at which every line fits width and all lines fit
    // height; otherwise minPt with the lines that fit, the last one ending with an ellipsis.
    // A single word wider than width is cut the same way.
    static Fit FitBlock(const QString& text, double width, double height, double maxPt,
                        double minPt, bool bold);

private:
    static QStringList Wrap(const QString& text, double width, double pt, bool bold);
    static QString Elide(const QString& text, double width, double pt, bool bold);
};
