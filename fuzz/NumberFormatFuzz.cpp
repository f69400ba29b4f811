// Typed numbers and dates: whatever Parse accepts is finite, and the text the formatters make
// of it reads back as the same value and formats again to the same text.
#include "framework/data/NumberFormat.h"
#include "fuzz/FuzzCheck.h"

#include <cmath>

using pla::fuzz::require;

namespace {

// Formats whose output Parse reads back: digits, grouping and the decimal comma only.
struct NumericFormat {
    const char* format;
    int decimals;
};
constexpr NumericFormat kFormats[] = {
    {"##0.00000", 5}, {"0", 0}, {"#,##0.00", 2}, {"0.###", 3}, {"000.0", 1}, {"#.#", 1},
};

void checkRoundTrip(const QString& format, int decimals, double v) {
    const QString s = NumberFormat::Format(format, v);
    if (s.isEmpty()) return; // '#' shows nothing for a value that rounds to zero
    const std::optional<double> back = NumberFormat::Parse(s);
    require(back.has_value(), "a formatted number reads back", format + QStringLiteral(": ") + s);
    require(*back == NumberFormat::Round(v, decimals), "it reads back as the rounded value",
            s + QStringLiteral(" from ") + QString::number(v, 'g', 17));
    require(NumberFormat::Format(format, *back) == s, "formatting again gives the same text",
            s + QStringLiteral(" then ") + NumberFormat::Format(format, *back));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    // The input as a display format must never break the formatter.
    for (const double v : {1234.5, -0.5, 0.0, 1e308, -1e-300})
        NumberFormat::Format(text, v);

    if (const std::optional<double> v = NumberFormat::Parse(text)) {
        require(std::isfinite(*v), "a parsed number is finite", text);
        const QString general = NumberFormat::General(*v);
        if (!general.contains(QLatin1Char('E'))) {
            const std::optional<double> back = NumberFormat::Parse(general);
            require(back && *back == *v, "the general format reads back exactly",
                    text + QStringLiteral(" -> ") + general);
        }
        for (const NumericFormat& f : kFormats)
            checkRoundTrip(QString::fromLatin1(f.format), f.decimals, *v);
        for (int d = 0; d <= 6; ++d) {
            const double r = NumberFormat::Round(*v, d);
            require(NumberFormat::Round(r, d) == r, "rounding twice changes nothing",
                    QString::number(*v, 'g', 17));
        }
    }

    if (const std::optional<QDate> d = NumberFormat::ParseDate(text)) {
        require(d->isValid(), "a parsed date is valid", text);
        require(NumberFormat::ParseDate(NumberFormat::FormatDate(*d)) == d,
                "a formatted date reads back", text);
    }
    return 0;
}
