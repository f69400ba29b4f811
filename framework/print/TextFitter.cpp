#include "framework/print/TextFitter.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Metrics are taken at the resolution the PDF is written at, without hinting, so that what
// fits here fits on paper; the small margin absorbs the rounding of a coarser printer.
constexpr double kDpi = 1200;
constexpr double kSlack = 0.97;
constexpr double kStep = 0.5;

double PxToMm(double px) {
    return px * 25.4 / kDpi;
}

double MmToPx(double mm) {
    return mm * kDpi / 25.4;
}

const QFontMetricsF& Metrics(double pt, bool bold) {
    static QImage device = [] {
        QImage image(8, 8, QImage::Format_Mono);
        const int dpm = static_cast<int>(std::lround(kDpi / 0.0254));
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        return image;
    }();
    static QHash<int, std::shared_ptr<QFontMetricsF>> cache;
    const int key = static_cast<int>(std::lround(pt * 100)) * 2 + (bold ? 1 : 0);
    auto it = cache.find(key);
    if (it == cache.end())
        it =
            cache.insert(key, std::make_shared<QFontMetricsF>(TextFitter::Font(pt, bold), &device));
    return **it;
}

// Sizes tried from the largest down: maxPt, then every half point down to minPt.
template <class Try> double Descend(double maxPt, double minPt, Try fits) {
    for (double pt = maxPt; pt > minPt + 1e-9; pt -= kStep)
        if (fits(pt)) return pt;
    return -1;
}

} // namespace

QFont TextFitter::Font(double pt, bool bold) {
    // A day's labels ask for the same few sizes thousands of times.
    static QHash<int, QFont> cache;
    const int key = static_cast<int>(std::lround(pt * 100)) * 2 + (bold ? 1 : 0);
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(pt);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return *cache.insert(key, font);
}

double TextFitter::Width(const QString& text, double pt, bool bold) {
    return PxToMm(Metrics(pt, bold).horizontalAdvance(text));
}

double TextFitter::LineHeight(double pt, bool bold) {
    return PxToMm(Metrics(pt, bold).height());
}

double TextFitter::SizeForHeight(double height, bool bold) {
    const double perPoint = LineHeight(10, bold) / 10;
    return std::max(kStep, std::floor(height / perPoint / kStep) * kStep);
}

QString TextFitter::Elide(const QString& text, double width, double pt, bool bold) {
    return Metrics(pt, bold).elidedText(text, Qt::ElideRight, MmToPx(width * kSlack));
}

TextFitter::Fit TextFitter::FitLine(const QString& text, double width, double maxPt, double minPt,
                                    bool bold) {
    const double limit = width * kSlack;
    const double pt =
        Descend(maxPt, minPt, [&](double p) { return Width(text, p, bold) <= limit; });
    if (pt > 0) return {pt, {text}, false};
    if (Width(text, minPt, bold) <= limit) return {minPt, {text}, false};
    return {minPt, {Elide(text, width, minPt, bold)}, true};
}

QStringList TextFitter::Wrap(const QString& text, double width, double pt, bool bold) {
    const double limit = width * kSlack;
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word :
             paragraph.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (line.isEmpty() || Width(candidate, pt, bold) <= limit) {
                line = candidate;
            } else {
                lines.push_back(line);
                line = word;
            }
        }
        if (!line.isEmpty()) lines.push_back(line);
    }
    return lines;
}

TextFitter::Fit TextFitter::FitBlock(const QString& text, double width, double height, double maxPt,
                                     double minPt, bool bold) {
    const double limit = width * kSlack;
    auto fits = [&](const QStringList& lines, double p) {
        if (lines.size() * LineHeight(p, bold) > height + 1e-9) return false;
        for (const QString& l : lines)
            if (Width(l, p, bold) > limit) return false;
        return true;
    };
    QStringList lines;
    const double pt = Descend(maxPt, minPt, [&](double p) {
        lines = Wrap(text, width, p, bold);
        return fits(lines, p);
    });
    if (pt > 0) return {pt, lines, false};
    lines = Wrap(text, width, minPt, bold);
    if (fits(lines, minPt)) return {minPt, lines, false};

    const int room = std::max(1, static_cast<int>(height / LineHeight(minPt, bold) + 1e-9));
    Fit fit{minPt, {}, true};
    for (int i = 0; i < lines.size() && i < room; ++i) {
        // The last line that has room takes whatever is left, cut at the box's edge.
        const QString line =
            i == room - 1 ? QStringList(lines.mid(i)).join(QLatin1Char(' ')) : lines[i];
        fit.lines.push_back(Width(line, minPt, bold) <= limit ? line
                                                              : Elide(line, width, minPt, bold));
    }
    return fit;
}
