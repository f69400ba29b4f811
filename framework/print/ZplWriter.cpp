#include "framework/print/ZplWriter.h"

#include <algorithm>
#include <cmath>

namespace {

// Builds one label's commands in printer dots.
class LabelWriter {
public:
    explicit LabelWriter(int dpi) : dpi_(dpi) {}

    int Dots(double mm) const { return static_cast<int>(std::lround(mm * dpi_ / 25.4)); }

    void Begin(const QSizeF& size) {
        // UTF-8 field data, the label's width and length, origin at its top left corner.
        out_ += "^XA^CI28^PW" + QByteArray::number(Dots(size.width())) + "^LL" +
                QByteArray::number(Dots(size.height())) + "^LH0,0\n";
    }
    void End() { out_ += "^XZ\n"; }

    void Text(const PrintCommand& c) {
        // Font 0's height parameter is the whole character cell, as a point size is.
        const int height = std::max(1, static_cast<int>(std::lround(c.fontSize * dpi_ / 72.0)));
        const int boxHeight = Dots(c.rect.height());
        const int top = Dots(c.rect.top()) + std::max(0, (boxHeight - height) / 2);
        const char justify = c.align & Qt::AlignRight     ? 'R'
                             : c.align & Qt::AlignHCenter ? 'C'
                                                          : 'L';
        Origin(Dots(c.rect.left()), top);
        out_ += "^A0N," + QByteArray::number(height) + ',' + QByteArray::number(height) + "^FB" +
                QByteArray::number(std::max(1, Dots(c.rect.width()))) + ",1,0," + justify +
                ",0^FH^FD" + Escaped(c.text) + "^FS\n";
    }

    void Box(const PrintCommand& c) {
        const int width = std::max(1, Dots(c.rect.width()));
        const int height = std::max(1, Dots(c.rect.height()));
        const int pen = c.filled ? std::min(width, height) : std::max(1, Dots(c.penWidth));
        Origin(Dots(c.rect.left()), Dots(c.rect.top()));
        out_ += "^GB" + QByteArray::number(width) + ',' + QByteArray::number(height) + ',' +
                QByteArray::number(pen) + ",B,0^FS\n";
    }

    void Line(const PrintCommand& c) {
        const int pen = std::max(1, Dots(c.penWidth));
        const QLineF l = c.line;
        const int x1 = Dots(std::min(l.x1(), l.x2())), x2 = Dots(std::max(l.x1(), l.x2()));
        const int y1 = Dots(std::min(l.y1(), l.y2())), y2 = Dots(std::max(l.y1(), l.y2()));
        Origin(x1, y1);
        if (x1 == x2 || y1 == y2) {
            // A rule is a box as thick as the pen.
            out_ += "^GB" + QByteArray::number(std::max(pen, x2 - x1)) + ',' +
                    QByteArray::number(std::max(pen, y2 - y1)) + ',' + QByteArray::number(pen) +
                    ",B,0^FS\n";
            return;
        }
        // A slanted line: R leans right (top left to bottom right), L the other way.
        const bool right = (l.x2() - l.x1()) * (l.y2() - l.y1()) > 0;
        out_ += "^GD" + QByteArray::number(x2 - x1) + ',' + QByteArray::number(y2 - y1) + ',' +
                QByteArray::number(pen) + ",B," + (right ? 'R' : 'L') + "^FS\n";
    }

    void Code(const PrintCommand& c) {
        // The module size is a whole number of dots (1 to 10): the largest whose code fits.
        // Printers draw a ^BQ code some dots below its field origin (10 on Zebra's), so the
        // code is sized to leave that room inside its square.
        constexpr int kCodeDrop = 10;
        const int side = std::min(Dots(c.rect.width()), Dots(c.rect.height()));
        const int modules = std::max(21, c.modules);
        const int magnification = std::clamp((side - kCodeDrop) / modules, 1, 10);
        const int drawn = modules * magnification;
        Origin(Dots(c.rect.left()) + (side - drawn) / 2,
               Dots(c.rect.top()) + std::max(0, (side - drawn - kCodeDrop) / 2));
        // Model 2, error correction M and automatic data mode ("MA,").
        out_ +=
            "^BQN,2," + QByteArray::number(magnification) + "^FH^FDMA," + Escaped(c.text) + "^FS\n";
    }

    QByteArray Take() { return std::move(out_); }

private:
    void Origin(int x, int y) {
        out_ +=
            "^FO" + QByteArray::number(std::max(0, x)) + ',' + QByteArray::number(std::max(0, y));
    }

    // Field data with ^FH: the caret, the tilde and the escape character itself would be read
    // as commands, so they go as hexadecimal bytes.
    static QByteArray Escaped(const QString& text) {
        QByteArray out;
        const QByteArray bytes = text.toUtf8();
        out.reserve(bytes.size());
        for (const char ch : bytes) {
            if (ch == '^' || ch == '~' || ch == '_') {
                out += '_';
                out += QByteArray::number(static_cast<unsigned char>(ch), 16).toUpper();
            } else if (ch == '\n' || ch == '\r') {
                out += ' ';
            } else {
                out += ch;
            }
        }
        return out;
    }

    int dpi_;
    QByteArray out_;
};

} // namespace

QByteArray ZplWriter::Label(const PrintPage& page, int dpi) {
    LabelWriter w(dpi);
    w.Begin(page.Size());
    for (const PrintCommand& c : page.Commands()) {
        switch (c.kind) {
        case PrintCommand::Kind::Text:
            w.Text(c);
            break;
        case PrintCommand::Kind::Box:
            w.Box(c);
            break;
        case PrintCommand::Kind::Line:
            w.Line(c);
            break;
        case PrintCommand::Kind::Code:
            w.Code(c);
            break;
        }
    }
    w.End();
    return w.Take();
}

QByteArray ZplWriter::Write(const QVector<PrintPage>& pages, int dpi) {
    QByteArray out;
    for (const PrintPage& page : pages)
        out += Label(page, dpi);
    return out;
}
