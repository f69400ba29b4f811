#include "framework/data/NumberFormat.h"

#include <QStringList>
#include <cmath>

namespace {

// Decimal digits of |v| as the shortest round-trip text: digits without point and the
// position of the decimal point within them (may be negative or beyond the digits).
struct Decimal {
    QString digits; // no leading zeros except for the value 0 ("0")
    int point = 1;  // digits[0..point) are the integer part
};

Decimal toDecimal(double v) {
    Decimal d;
    // 'e' with the shortest precision gives "d.ddde[+-]xx".
    const QString s = QString::number(std::fabs(v), 'e', QLocale::FloatingPointShortest);
    const int e = s.indexOf(QLatin1Char('e'));
    QString mant = s.left(e);
    const int exp = s.mid(e + 1).toInt();
    mant.remove(QLatin1Char('.'));
    d.digits = mant;
    d.point = exp + 1;
    return d;
}

// Rounds the decimal to `decimals` places after the point, half away from zero. Returns the
// integer part and the fraction digits (exactly `decimals` of them).
void roundDecimal(const Decimal& d, int decimals, QString& intPart, QString& fracPart) {
    // Lay the digits out as a fixed string with enough zeros on both sides.
    QString all;
    int point = d.point;
    if (point <= 0) {
        all = QString(1 - point, QLatin1Char('0')) + d.digits;
        point = 1;
    } else {
        all = d.digits;
        if (all.size() < point) all += QString(point - all.size(), QLatin1Char('0'));
    }
    const int keep = point + decimals;
    if (all.size() < keep + 1) all += QString(keep + 1 - all.size(), QLatin1Char('0'));
    const bool up = all.at(keep) >= QLatin1Char('5');
    QString kept = all.left(keep);
    if (up) {
        int i = kept.size() - 1;
        for (; i >= 0; --i) {
            if (kept[i] == QLatin1Char('9')) {
                kept[i] = QLatin1Char('0');
            } else {
                kept[i] = QChar(kept[i].unicode() + 1);
                break;
            }
        }
        if (i < 0) {
            kept.prepend(QLatin1Char('1'));
            ++point;
        }
    }
    intPart = kept.left(point);
    fracPart = kept.mid(point);
    int nz = 0;
    while (nz < intPart.size() - 1 && intPart[nz] == QLatin1Char('0'))
        ++nz;
    intPart = intPart.mid(nz);
}

struct Section {
    QString prefix, suffix;
    int minInt = 0;
    int minFrac = 0, maxFrac = 0;
    bool grouping = false;
    bool hasDigits = false;
    QString literal; // the whole text when there are no digit placeholders
};

Section parseSection(const QString& s) {
    Section sec;
    bool inDigits = false, afterDigits = false, inFrac = false;
    QString text;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = s.indexOf(c, i + 1);
            const QString lit = s.mid(i + 1, (end < 0 ? s.size() : end) - i - 1);
            (afterDigits || inDigits ? sec.suffix : sec.prefix) += lit;
            text += lit;
            if (inDigits) afterDigits = true, inDigits = false;
            i = end < 0 ? s.size() : end;
            continue;
        }
        const bool placeholder = c == QLatin1Char('0') || c == QLatin1Char('#');
        if (!afterDigits &&
            (placeholder || c == QLatin1Char('.') || (inDigits && c == QLatin1Char(',')))) {
            inDigits = true;
            sec.hasDigits = sec.hasDigits || placeholder;
            if (c == QLatin1Char('.'))
                inFrac = true;
            else if (c == QLatin1Char(','))
                sec.grouping = true;
            else if (inFrac) {
                ++sec.maxFrac;
                if (c == QLatin1Char('0')) sec.minFrac = sec.maxFrac;
            } else if (c == QLatin1Char('0')) {
                ++sec.minInt;
            }
            continue;
        }
        if (inDigits) afterDigits = true, inDigits = false;
        (afterDigits ? sec.suffix : sec.prefix) += c;
        text += c;
    }
    sec.literal = text;
    return sec;
}

QString group(const QString& intPart) {
    QString out;
    const int n = intPart.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += QLatin1Char('.');
        out += intPart.at(i);
    }
    return out;
}

QString applySection(const Section& sec, double absValue, const QString& sign) {
    if (!sec.hasDigits) return sec.literal;
    QString ip, fp;
    roundDecimal(toDecimal(absValue), sec.maxFrac, ip, fp);
    while (fp.size() > sec.minFrac && fp.endsWith(QLatin1Char('0')))
        fp.chop(1);
    if (ip == QLatin1String("0") && sec.minInt == 0) ip.clear();
    if (ip.size() < sec.minInt) ip = QString(sec.minInt - ip.size(), QLatin1Char('0')) + ip;
    if (sec.grouping) ip = group(ip);
    // A value that rounds to nothing shows no minus sign.
    const bool nothing =
        QString(ip + fp).remove(QLatin1Char('.')).remove(QLatin1Char('0')).isEmpty();
    QString out = sec.prefix + (nothing ? QString() : sign) + ip;
    if (!fp.isEmpty()) out += QLatin1Char(',') + fp;
    return out + sec.suffix;
}

QStringList splitSections(const QString& f) {
    QStringList out;
    QString cur;
    QChar quote;
    for (const QChar c : f) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

} // namespace

QString NumberFormat::General(double v) {
    if (std::isnan(v)) return QStringLiteral("NAN");
    if (std::isinf(v)) return v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (v == 0) return QStringLiteral("0");
    const Decimal d = toDecimal(v);
    const QString sign = v < 0 ? QStringLiteral("-") : QString();
    const int exp = d.point - 1;
    if (exp >= 15 || exp < -5) {
        QString m = d.digits.left(1);
        if (d.digits.size() > 1) m += QLatin1Char(',') + d.digits.mid(1);
        return sign + m + QLatin1Char('E') + QString::number(exp);
    }
    QString ip, fp;
    if (d.point <= 0) {
        ip = QStringLiteral("0");
        fp = QString(-d.point, QLatin1Char('0')) + d.digits;
    } else if (d.point >= d.digits.size()) {
        ip = d.digits + QString(d.point - d.digits.size(), QLatin1Char('0'));
    } else {
        ip = d.digits.left(d.point);
        fp = d.digits.mid(d.point);
    }
    return sign + ip + (fp.isEmpty() ? QString() : QLatin1Char(',') + fp);
}

QString NumberFormat::Format(const QString& format, double v) {
    if (format.isEmpty() || !std::isfinite(v)) return General(v);
    const QStringList sections = splitSections(format);
    if (v > 0) return applySection(parseSection(sections.at(0)), v, {});
    if (v < 0) {
        if (sections.size() >= 2 && !sections.at(1).isEmpty())
            return applySection(parseSection(sections.at(1)), -v, {});
        return applySection(parseSection(sections.at(0)), -v, QStringLiteral("-"));
    }
    if (sections.size() >= 3) return applySection(parseSection(sections.at(2)), 0, {});
    return applySection(parseSection(sections.at(0)), 0, {});
}

std::optional<double> NumberFormat::Parse(const QString& text) {
    const QString t = text.trimmed();
    int i = 0;
    const int n = t.size();
    QString plain;
    if (i < n && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        if (t[i] == QLatin1Char('-')) plain += QLatin1Char('-');
        ++i;
    }
    int intDigits = 0, groupLen = -1; // groupLen >= 0 once a thousands point was seen
    bool grouped = false;
    for (; i < n && t[i] != QLatin1Char(','); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            plain += c;
            ++intDigits;
            if (grouped) ++groupLen;
        } else if (c == QLatin1Char('.')) {
            // A point only separates thousands: 1-3 digits before the first, 3 between.
            if (intDigits == 0 || (grouped ? groupLen != 3 : intDigits > 3)) return std::nullopt;
            grouped = true;
            groupLen = 0;
        } else {
            return std::nullopt;
        }
    }
    if (grouped && groupLen != 3) return std::nullopt;
    int fracDigits = 0;
    if (i < n) { // the comma
        plain += QLatin1Char('.');
        for (++i; i < n; ++i) {
            const QChar c = t[i];
            if (!(c.isDigit() && c.unicode() < 128)) return std::nullopt;
            plain += c;
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0) return std::nullopt;
    bool ok = false;
    const double d = plain.toDouble(&ok);
    if (!ok) return std::nullopt;
    return d;
}

double NumberFormat::Round(double v, int decimals) {
    if (!std::isfinite(v) || v == 0) return v;
    QString ip, fp;
    roundDecimal(toDecimal(v), decimals, ip, fp);
    const double r = (ip + QLatin1Char('.') + fp).toDouble();
    return v < 0 ? -r : r;
}

QString NumberFormat::FormatDate(const QDate& d) {
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

std::optional<QDate> NumberFormat::ParseDate(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3 || parts[2].size() != 4) return std::nullopt;
    // Digits only: toInt() would also take a sign ("-026" is not a year anyone types).
    for (const QString& part : parts)
        for (const QChar c : part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    bool okD = false, okM = false, okY = false;
    const int d = parts[0].toInt(&okD), m = parts[1].toInt(&okM), y = parts[2].toInt(&okY);
    if (!okD || !okM || !okY || parts[0].isEmpty() || parts[0].size() > 2 || parts[1].size() > 2)
        return std::nullopt;
    const QDate date(y, m, d);
    if (!date.isValid()) return std::nullopt;
    return date;
}
