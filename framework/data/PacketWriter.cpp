#include "framework/data/PacketWriter.h"

#include "framework/data/PacketCodec.h"

#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
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
    if (d == std::floor(d) && std::abs(d) <= kExactIntegers)
        out += QByteArray::number(static_cast<qint64>(d));
    else
        out += QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
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
