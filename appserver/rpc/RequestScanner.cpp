#include "appserver/rpc/RequestScanner.h"

#include "framework/data/PacketScanner.h"

namespace pla {

namespace {

class Scan {
public:
    explicit Scan(const QByteArray& body) : p_(body.constData()), end_(p_ + body.size()) {}

    const char* at() const { return p_; }
    bool done() {
        space();
        return p_ == end_;
    }
    bool take(char c) {
        space();
        if (p_ == end_ || *p_ != c) return false;
        ++p_;
        return true;
    }
    bool peek(char c) {
        space();
        return p_ < end_ && *p_ == c;
    }
    // A string's raw bytes between its quotes; false when unterminated.
    bool string(QByteArrayView& raw) {
        if (!take('"')) return false;
        const char* start = p_;
        for (; p_ < end_; ++p_) {
            if (*p_ == '\\') {
                if (++p_ == end_) return false;
            } else if (*p_ == '"') {
                raw = QByteArrayView(start, p_ - start);
                ++p_;
                return true;
            }
        }
        return false;
    }
    // Steps over one value of any kind; false when the bytes end first. Whether the value is
    // well formed is left to the JSON parser.
    bool value() {
        space();
        if (p_ == end_) return false;
        if (*p_ == '"') {
            QByteArrayView ignored;
            return string(ignored);
        }
        if (*p_ == '{' || *p_ == '[') {
            int depth = 0;
            while (p_ < end_) {
                if (*p_ == '"') {
                    QByteArrayView ignored;
                    if (!string(ignored)) return false;
                    continue;
                }
                if (*p_ == '{' || *p_ == '[') ++depth;
                if ((*p_ == '}' || *p_ == ']') && --depth == 0) {
                    ++p_;
                    return true;
                }
                ++p_;
            }
            return false;
        }
        const char* start = p_;
        while (p_ < end_ && !isSpace(*p_) && *p_ != ',' && *p_ != '}' && *p_ != ']')
            ++p_;
        return p_ > start;
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    void space() {
        while (p_ < end_ && isSpace(*p_))
            ++p_;
    }

    const char* p_;
    const char* end_;
};

} // namespace

std::optional<RequestScanner::Split> RequestScanner::split(const QByteArray& body) {
    Scan s(body);
    Split out;
    bool paramsSeen = false;
    if (!s.take('{')) return std::nullopt;
    if (!s.take('}')) {
        do {
            QByteArrayView key;
            if (!s.string(key) || key.contains('\\') || !s.take(':')) return std::nullopt;
            const bool params = key == QByteArrayView("params");
            if (params && paramsSeen) return std::nullopt;
            paramsSeen = paramsSeen || params;
            if (!params || !s.take('[')) {
                if (!s.value()) return std::nullopt;
                continue;
            }
            if (s.take(']')) continue;
            int index = 0;
            do {
                const bool object = s.peek('{');
                const char* start = s.at();
                if (!s.value()) return std::nullopt;
                if (object) out.objects.emplace_back(index, QByteArrayView(start, s.at() - start));
                ++index;
            } while (s.take(','));
            if (!s.take(']')) return std::nullopt;
        } while (s.take(','));
        if (!s.take('}')) return std::nullopt;
    }
    if (!s.done() || out.objects.empty()) return std::nullopt;
    const char* copied = body.constData();
    for (const auto& [index, bytes] : out.objects) {
        out.envelope.append(copied, bytes.data() - copied).append("{}");
        copied = bytes.data() + bytes.size();
    }
    out.envelope.append(copied, body.constData() + body.size() - copied);
    return out;
}

std::optional<RequestScanner::Read> RequestScanner::read(const QByteArray& body) {
    const std::optional<Split> s = split(body);
    if (!s) return std::nullopt;
    Read out;
    for (const auto& [index, bytes] : s->objects) {
        std::optional<TDataPacket> p = PacketScanner::TryRead(bytes);
        if (!p) return std::nullopt;
        out.packets.resize(index + 1);
        out.packets[index] = std::move(p);
    }
    QJsonParseError error{};
    out.envelope = QJsonDocument::fromJson(s->envelope, &error);
    if (error.error != QJsonParseError::NoError) return std::nullopt;
    return out;
}

} // namespace pla
