#include "framework/data/PacketScanner.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>
#include <vector>

namespace pla {

namespace {

// Thrown to give up on the bytes; never leaves this file.
struct Decline {};

[[noreturn]] void decline() {
    throw Decline{};
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The last text read in a column, with its bytes in the input.
struct Recent {
    QByteArrayView raw;
    QString text;
};

class Reader {
public:
    Reader(const char* begin, const char* end) : p_(begin), end_(end) {}

    TDataPacket Packet() {
        TDataPacket packet;
        expect('{');
        if (key() != "fields") decline(); // rows first would leave their columns untyped
        expect(':');
        readFields(packet.Fields);
        expect(',');
        if (key() != "rows") decline();
        expect(':');
        readRows(packet.Fields, packet.Rows);
        expect('}');
        skipSpace();
        if (p_ != end_) decline();
        return packet;
    }

private:
    void skipSpace() {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t'))
            ++p_;
    }

    // Skips white space; true when the next character is c (which is then consumed).
    bool take(char c) {
        skipSpace();
        if (p_ < end_ && *p_ == c) {
            ++p_;
            return true;
        }
        return false;
    }

    void expect(char c) {
        if (!take(c)) decline();
    }

    // A member name or a type word: a string without escapes, as raw bytes.
    QByteArrayView key() {
        expect('"');
        const char* s = p_;
        while (p_ < end_ && *p_ != '"') {
            if (*p_ == '\\' || static_cast<unsigned char>(*p_) < 0x20) decline();
            ++p_;
        }
        if (p_ >= end_) decline();
        return QByteArrayView(s, p_++ - s);
    }

    // A string value, the opening quote already consumed. When its bytes equal those of
    // recent (the value above it in the same column) that text is shared rather than built
    // again: codes and units repeat down a packet.
    QString stringBody(Recent* recent = nullptr) {
        const char* s = p_;
        unsigned char seen = 0; // every byte or-ed: the high bit tells of non-ASCII text
        while (p_ < end_) {
            const unsigned char c = static_cast<unsigned char>(*p_);
            if (c == '"') {
                const QByteArrayView raw(s, p_++ - s);
                if (recent && recent->raw.data() && recent->raw == raw) return recent->text;
                QString text = (seen & 0x80) ? fromUtf8(raw) : QString::fromLatin1(raw);
                if (recent) {
                    recent->raw = raw;
                    recent->text = text;
                }
                return text;
            }
            if (c == '\\') return escapedBody(s);
            if (c < 0x20) decline();
            seen |= c;
            ++p_;
        }
        decline();
    }

    // The rest of a string holding escapes; s is where its text started, p_ the backslash.
    QString escapedBody(const char* s) {
        QByteArray out(s, p_ - s);
        while (p_ < end_) {
            const char c = *p_++;
            if (c == '"') return fromUtf8(out);
            if (static_cast<unsigned char>(c) < 0x20) decline();
            if (c != '\\') {
                out += c;
                continue;
            }
            if (p_ >= end_) decline();
            switch (*p_++) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            default: // \u and anything unknown: left to the general decoder
                decline();
            }
        }
        decline();
    }

    static QString fromUtf8(QByteArrayView bytes) {
        // Invalid UTF-8 is refused by the general decoder, where fromUtf8 would replace it.
        if (!bytes.isValidUtf8()) decline();
        return QString::fromUtf8(bytes);
    }

    QString string() {
        expect('"');
        return stringBody();
    }

    // A JSON number (strict grammar), valued as a JSON document values it: a plain integer
    // through a 64-bit integer, anything else correctly rounded, and zero never negative.
    // Values out of range, or so small they vanish or lose precision, are left to the general
    // decoder.
    double number() {
        skipSpace();
        const char* start = p_;
        bool negative = false;
        if (p_ < end_ && *p_ == '-') {
            negative = true;
            ++p_;
        }
        if (p_ >= end_ || !isDigit(*p_)) decline();
        const char* digits = p_;
        bool nonZero = false;
        if (*p_ == '0') {
            ++p_;
        } else {
            while (p_ < end_ && isDigit(*p_))
                ++p_;
            nonZero = true;
        }
        const char* intEnd = p_;
        bool integral = true;
        if (p_ < end_ && *p_ == '.') {
            integral = false;
            const char* f = ++p_;
            for (; p_ < end_ && isDigit(*p_); ++p_)
                nonZero = nonZero || *p_ != '0';
            if (p_ == f) decline();
        }
        if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
            integral = false;
            ++p_;
            if (p_ < end_ && (*p_ == '+' || *p_ == '-')) ++p_;
            const char* x = p_;
            while (p_ < end_ && isDigit(*p_))
                ++p_;
            if (p_ == x) decline();
        }
        if (integral) {
            if (intEnd - digits > 18) decline();
            qint64 v = 0;
            for (const char* d = digits; d < intEnd; ++d)
                v = v * 10 + (*d - '0');
            return double(negative ? -v : v);
        }
        double d = 0;
        const auto [end, ec] = std::from_chars(start, p_, d);
        if (ec != std::errc() || end != p_) decline();
        if (std::fpclassify(d) == FP_SUBNORMAL || (d == 0 && nonZero)) decline();
        // A JSON document keeps whole numbers as integers, which have no negative zero.
        return d == 0 ? 0.0 : d;
    }

    // True (and consumed) when the next value is null.
    bool null() {
        skipSpace();
        if (end_ - p_ >= 4 && std::memcmp(p_, "null", 4) == 0) {
            p_ += 4;
            return true;
        }
        return false;
    }

    QDate date() {
        expect('"');
        if (end_ - p_ < 11 || p_[10] != '"' || p_[4] != '-' || p_[7] != '-') decline();
        int part[3] = {0, 0, 0};
        const int from[3] = {0, 5, 8}, len[3] = {4, 2, 2};
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < len[k]; ++i) {
                const char c = p_[from[k] + i];
                if (!isDigit(c)) decline();
                part[k] = part[k] * 10 + (c - '0');
            }
        const QDate d(part[0], part[1], part[2]);
        if (!d.isValid()) decline();
        p_ += 11;
        return d;
    }

    // Appends the next value, read as field f, to row. Values are built in place: a
    // returned QVariant copied into the row costs more than reading it.
    void cell(const TPacketField& f, Recent& recent, QVector<QVariant>& row) {
        if (null()) {
            row.emplaceBack();
            return;
        }
        switch (f.Type) {
        case TFieldType::String:
            expect('"');
            row.emplaceBack(stringBody(&recent));
            return;
        case TFieldType::Float:
            row.emplaceBack(number());
            return;
        case TFieldType::Integer: {
            const double d = number();
            if (d != std::floor(d) || d < std::numeric_limits<int>::min() ||
                d > std::numeric_limits<int>::max())
                decline();
            row.emplaceBack(int(d));
            return;
        }
        case TFieldType::Date:
            row.emplaceBack(date());
            return;
        }
        decline();
    }

    void readField(TPacketField& f) {
        expect('{');
        bool name = false, type = false, size = false;
        do {
            const QByteArrayView k = key();
            expect(':');
            if (k == "name" && !name) {
                f.Name = string();
                name = true;
            } else if (k == "type" && !type) {
                const QByteArrayView t = key();
                if (t == "string")
                    f.Type = TFieldType::String;
                else if (t == "float")
                    f.Type = TFieldType::Float;
                else if (t == "integer")
                    f.Type = TFieldType::Integer;
                else if (t == "date")
                    f.Type = TFieldType::Date;
                else
                    decline();
                type = true;
            } else if (k == "size" && !size) {
                const double d = number();
                if (d < 0 || d != std::floor(d) || d > std::numeric_limits<int>::max()) decline();
                f.Size = int(d);
                size = true;
            } else {
                decline();
            }
        } while (take(','));
        expect('}');
        if (!name || !type || f.Name.isEmpty()) decline();
        if (f.Type != TFieldType::String) f.Size = 0; // as the general decoder reads it
    }

    void readFields(QVector<TPacketField>& fields) {
        expect('[');
        if (take(']')) return;
        do {
            fields.append(TPacketField{});
            readField(fields.last());
        } while (take(','));
        expect(']');
    }

    void readRows(const QVector<TPacketField>& fields, QVector<QVector<QVariant>>& rows) {
        const int nf = int(fields.size());
        const TPacketField* field = fields.constData();
        std::vector<Recent> recent(static_cast<size_t>(nf));
        expect('[');
        if (take(']')) return;
        do {
            expect('[');
            QVector<QVariant> row;
            row.reserve(nf);
            for (int c = 0; c < nf; ++c) {
                if (c > 0) expect(',');
                cell(field[c], recent[size_t(c)], row);
            }
            expect(']');
            rows.append(std::move(row));
        } while (take(','));
        expect(']');
    }

    const char* p_;
    const char* end_;
};

} // namespace

std::optional<TDataPacket> PacketScanner::TryRead(QByteArrayView bytes) {
    try {
        return Reader(bytes.data(), bytes.data() + bytes.size()).Packet();
    } catch (const Decline&) {
        return std::nullopt;
    }
}

} // namespace pla
