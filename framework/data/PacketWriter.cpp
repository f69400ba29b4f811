#include "framework/data/PacketWriter.h"

#include "framework/data/PacketCodec.h"

#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

char hexDigit(unsigned v) {
    return char(v < 10 ? '0' + v : 'a' + v - 10);
}

char* escaped(char16_t u, char* o) {
    *o++ = '\\';
    *o++ = 'u';
    *o++ = hexDigit((u >> 12) & 0xf);
    *o++ = hexDigit((u >> 8) & 0xf);
    *o++ = hexDigit((u >> 4) & 0xf);
    *o++ = hexDigit(u & 0xf);
    return o;
}

} // namespace

void PacketWriter::AppendString(const QString& s, QByteArray& out) {
    // Written in place into room for the longest form ("\uXXXX" for each unit), then cut to
    // what was written: one growth of the buffer per text instead of one per byte.
    const qsizetype start = out.size();
    out.resize(start + 2 + 6 * s.size());
    char* const begin = out.data();
    char* o = begin + start;
    *o++ = '"';
    const char16_t* c = reinterpret_cast<const char16_t*>(s.constData());
    const char16_t* end = c + s.size();
    for (; c < end; ++c) {
        const char16_t u = *c;
        char shortEscape = 0;
        switch (u) {
        case '"':
            shortEscape = '"';
            break;
        case '\\':
            shortEscape = '\\';
            break;
        case '\b':
            shortEscape = 'b';
            break;
        case '\f':
            shortEscape = 'f';
            break;
        case '\n':
            shortEscape = 'n';
            break;
        case '\r':
            shortEscape = 'r';
            break;
        case '\t':
            shortEscape = 't';
            break;
        default:
            break;
        }
        if (shortEscape) {
            *o++ = '\\';
            *o++ = shortEscape;
        } else if (u < 0x20) {
            o = escaped(u, o);
        } else if (u < 0x80) {
            *o++ = char(u);
        } else if (u < 0x800) {
            *o++ = char(0xc0 | (u >> 6));
            *o++ = char(0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && c + 1 < end && QChar::isLowSurrogate(c[1])) {
            const char32_t code = QChar::surrogateToUcs4(u, c[1]);
            ++c;
            *o++ = char(0xf0 | (code >> 18));
            *o++ = char(0x80 | ((code >> 12) & 0x3f));
            *o++ = char(0x80 | ((code >> 6) & 0x3f));
            *o++ = char(0x80 | (code & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            o = escaped(u, o); // a lone half of a pair
        } else {
            *o++ = char(0xe0 | (u >> 12));
            *o++ = char(0x80 | ((u >> 6) & 0x3f));
            *o++ = char(0x80 | (u & 0x3f));
        }
    }
    *o++ = '"';
    out.resize(o - begin);
}

void PacketWriter::AppendNumber(double d, QByteArray& out) {
    const qsizetype start = out.size();
    out.resize(start + kMaxNumberBytes);
    char* const begin = out.data();
    out.resize(WriteNumber(d, begin + start) - begin);
}

char* PacketWriter::WriteNumber(double d, char* out) {
    constexpr double kExactIntegers = 9007199254740992.0; // 2^53
    if (d == std::floor(d) && std::abs(d) <= kExactIntegers)
        return std::to_chars(out, out + kMaxNumberBytes, static_cast<long long>(d)).ptr;
    // Stored amounts carry at most five decimals, and a value that is exactly such a decimal
    // (m / 10^5 reads back as d) has those digits as its shortest form: for 0.001 <= |d| < 10^9
    // two such decimals are farther apart than two neighbouring doubles, and a form with fewer
    // digits would have to be one of them. Below 0.001 the exponent form can be the shorter.
    const double magnitude = std::abs(d);
    if (magnitude >= 1e-3 && magnitude < 1e9) {
        const long long m = std::llround(magnitude * 1e5);
        if (static_cast<double>(m) / 1e5 == magnitude) {
            char* o = out;
            if (d < 0) *o++ = '-';
            o = std::to_chars(o, out + kMaxNumberBytes, m / 100000).ptr;
            *o++ = '.';
            long long fraction = m % 100000; // not 0: d is not integral
            int digits = 5;
            for (; fraction % 10 == 0; fraction /= 10)
                --digits;
            for (int i = digits - 1; i >= 0; --i, fraction /= 10)
                o[i] = char('0' + fraction % 10);
            return o + digits;
        }
    }
    // What QByteArray::number(d, 'g', QLocale::FloatingPointShortest) writes, without its
    // allocation: the shortest digits that read back as d, as a decimal or with an exponent of
    // at least two digits, whichever is shorter (the decimal when both are as long): at most
    // 24 characters, the exponent form of 17 digits.
    char text[32];
    const char* end = std::to_chars(text, text + sizeof text, d, std::chars_format::scientific).ptr;
    const char* p = text;
    char* o = out;
    if (*p == '-') *o++ = *p++;
    const char* e = std::find(p, end, 'e'); // "e+XX" or "e-XX" follows the digits
    char digits[24];
    int n = 0;
    for (const char* c = p; c < e; ++c)
        if (*c != '.') digits[n++] = *c;
    int exponent = 0;
    std::from_chars(e + 2, end, exponent);
    if (e[1] == '-') exponent = -exponent;
    const qsizetype exponentLength = n + (n > 1) + (end - e);
    const qsizetype decimalLength = exponent < 0        ? 1 - exponent + n // "0.", zeros, digits
                                    : exponent >= n - 1 ? exponent + 1     // digits, zeros
                                                        : n + 1;           // digits with a point
    if (exponentLength < decimalLength) {
        *o++ = digits[0];
        if (n > 1) {
            *o++ = '.';
            o = std::copy(digits + 1, digits + n, o);
        }
        o = std::copy(e, end, o);
    } else if (exponent < 0) {
        *o++ = '0';
        *o++ = '.';
        o = std::fill_n(o, -exponent - 1, '0');
        o = std::copy(digits, digits + n, o);
    } else if (exponent >= n - 1) {
        o = std::copy(digits, digits + n, o);
        o = std::fill_n(o, exponent + 1 - n, '0');
    } else {
        o = std::copy(digits, digits + exponent + 1, o);
        *o++ = '.';
        o = std::copy(digits + exponent + 1, digits + n, o);
    }
    return o;
}

bool PacketWriter::TryAppend(const TDataPacket& p, QByteArray& out) {
    const qsizetype start = out.size();
    auto decline = [&] {
        out.truncate(start);
        return false;
    };
    out += "{\"fields\":[";
    for (int i = 0; i < p.Fields.size(); ++i) {
        const TPacketField& f = p.Fields[i];
        if (i) out += ',';
        if (!f.Typed) {
            AppendString(f.Name, out);
            continue;
        }
        out += "{\"name\":";
        AppendString(f.Name, out);
        if (f.Type == TFieldType::String && f.Size > 0) {
            out += ",\"size\":";
            out += QByteArray::number(f.Size);
        }
        out += ",\"type\":";
        AppendString(PacketCodec::TypeName(f.Type), out);
        out += '}';
    }
    out += "],\"rows\":[";
    for (int r = 0; r < p.Rows.size(); ++r) {
        const QVector<QVariant>& row = p.Rows[r];
        if (row.size() != p.Fields.size()) return decline();
        if (r) out += ',';
        out += '[';
        for (int c = 0; c < row.size(); ++c) {
            if (c) out += ',';
            const QVariant& v = row[c];
            if (!v.isValid() || v.isNull()) {
                out += "null";
                continue;
            }
            switch (p.Fields[c].Type) {
            case TFieldType::String:
                AppendString(v.toString(), out);
                break;
            case TFieldType::Float:
            case TFieldType::Integer: {
                bool ok = false;
                const double d = v.toDouble(&ok);
                if (!ok || !std::isfinite(d)) return decline();
                AppendNumber(d, out);
                break;
            }
            case TFieldType::Date: {
                const QDate d = v.toDate();
                if (!d.isValid()) return decline();
                AppendString(d.toString(Qt::ISODate), out);
                break;
            }
            }
        }
        out += ']';
    }
    out += "]}";
    return true;
}

void PacketWriter::Append(const TDataPacket& p, QByteArray& out) {
    if (TryAppend(p, out)) return;
    // Throws the encoder's own error for what was declined.
    out += QJsonDocument(PacketCodec::ToJson(p).toObject()).toJson(QJsonDocument::Compact);
}
