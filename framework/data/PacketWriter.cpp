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

void appendEscaped(char16_t u, QByteArray& out) {
    out += "\\u";
    out += hexDigit((u >> 12) & 0xf);
    out += hexDigit((u >> 8) & 0xf);
    out += hexDigit((u >> 4) & 0xf);
    out += hexDigit(u & 0xf);
}

} // namespace

void PacketWriter::AppendString(const QString& s, QByteArray& out) {
    out += '"';
    const char16_t* c = reinterpret_cast<const char16_t*>(s.constData());
    const char16_t* end = c + s.size();
    for (; c < end; ++c) {
        const char16_t u = *c;
        switch (u) {
        case '"':
            out += "\\\"";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        case '\b':
            out += "\\b";
            continue;
        case '\f':
            out += "\\f";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\r':
            out += "\\r";
            continue;
        case '\t':
            out += "\\t";
            continue;
        default:
            break;
        }
        if (u < 0x20) {
            appendEscaped(u, out);
        } else if (u < 0x80) {
            out += char(u);
        } else if (u < 0x800) {
            out += char(0xc0 | (u >> 6));
            out += char(0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && c + 1 < end && QChar::isLowSurrogate(c[1])) {
            const char32_t code = QChar::surrogateToUcs4(u, c[1]);
            ++c;
            out += char(0xf0 | (code >> 18));
            out += char(0x80 | ((code >> 12) & 0x3f));
            out += char(0x80 | ((code >> 6) & 0x3f));
            out += char(0x80 | (code & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            appendEscaped(u, out); // a lone half of a pair
        } else {
            out += char(0xe0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3f));
            out += char(0x80 | (u & 0x3f));
        }
    }
    out += '"';
}

void PacketWriter::AppendNumber(double d, QByteArray& out) {
    constexpr double kExactIntegers = 9007199254740992.0; // 2^53
    char text[32];
    if (d == std::floor(d) && std::abs(d) <= kExactIntegers) {
        const char* end = std::to_chars(text, text + sizeof text, static_cast<long long>(d)).ptr;
        out.append(text, end - text);
        return;
    }
    // What QByteArray::number(d, 'g', QLocale::FloatingPointShortest) writes, without its
    // allocation: the shortest digits that read back as d, as a decimal or with an exponent of
    // at least two digits, whichever is shorter (the decimal when both are as long).
    const char* end = std::to_chars(text, text + sizeof text, d, std::chars_format::scientific).ptr;
    const char* p = text;
    if (*p == '-') out += *p++;
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
        out += digits[0];
        if (n > 1) out.append('.').append(digits + 1, n - 1);
        out.append(e, end - e);
    } else if (exponent < 0) {
        out.append("0.").append(-exponent - 1, '0').append(digits, n);
    } else if (exponent >= n - 1) {
        out.append(digits, n).append(exponent + 1 - n, '0');
    } else {
        out.append(digits, exponent + 1)
            .append('.')
            .append(digits + exponent + 1, n - exponent - 1);
    }
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
