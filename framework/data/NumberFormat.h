#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The one place where numbers and dates become text and back, in the Brazilian setting:
// decimal comma, point as thousands separator, dates as dd/mm/yyyy.
class NumberFormat {
public:
    // v formatted by a display format of up to three sections separated by ';' (positive;
    // negative; zero). In a section '0' is a required digit, '#' an optional one, '.' the
    // decimal separator (shown as a comma), ',' asks for thousands grouping, and any other
    // character or quoted text is shown as written. The negative section shows the absolute
    // value (its own text supplies any sign); a section without digits shows just its text.
    // Rounding is half away from zero on the shortest decimal form of v. An empty format is
    // the general format.
    static QString Format(const QString& format, double v);
    // Shortest text that reads back as v, with a comma: 1.5 -> "1,5", -3.0 -> "-3"; very large
    // or very small magnitudes use an exponent ("1E20", "1,5E-7").
    static QString General(double v);
    // The number typed in text: optional sign, digits, at most one decimal comma, optionally
    // thousands groups of three separated by points ("1.234,5"); spaces around are ignored.
    // Anything else ("", "abc", "1,2,3", "1.5", "1e3") is nullopt.
    static std::optional<double> Parse(const QString& text);
    // v rounded to `decimals` places, half away from zero, judged on v's shortest decimal form
    // so that 1.005 rounds to 1.01.
    static double Round(double v, int decimals);
    // d as dd/mm/yyyy; an invalid date is "".
    static QString FormatDate(const QDate& d);
    // A date typed as dd/mm/yyyy (also d/m/yyyy); nullopt when it is not a valid date.
    static std::optional<QDate> ParseDate(const QString& text);
};
