#include "appserver/http/BodyDecoder.h"

#include <zlib.h>

namespace pla {

namespace {

bool identity(const QByteArray& encoding) {
    return encoding.isEmpty() || encoding.compare("identity", Qt::CaseInsensitive) == 0;
}

} // namespace

struct BodyDecoder::Inflater {
    z_stream stream{};
    bool ended = false;
    Inflater() {
        // 32 added to the window bits accepts both the gzip and the zlib wrapping.
        inflateInit2(&stream, 15 + 32);
    }
    ~Inflater() { inflateEnd(&stream); }
};

BodyDecoder::BodyDecoder(const QByteArray& encoding, std::size_t limit) : limit_(limit) {
    if (!identity(encoding)) inflater_ = std::make_unique<Inflater>();
}

BodyDecoder::~BodyDecoder() = default;

bool BodyDecoder::supports(const QByteArray& encoding) {
    return identity(encoding) || encoding.compare("gzip", Qt::CaseInsensitive) == 0 ||
           encoding.compare("deflate", Qt::CaseInsensitive) == 0;
}

BodyDecoder::Status BodyDecoder::append(const char* data, std::size_t size) {
    if (status_ != Status::Ok || size == 0) return status_;
    if (!inflater_) {
        if (static_cast<std::size_t>(body_.size()) + size > limit_)
            return status_ = Status::TooLarge;
        body_.append(data, static_cast<qsizetype>(size));
        return status_;
    }
    z_stream& z = inflater_->stream;
    if (inflater_->ended) return status_ = Status::Corrupt; // bytes after the stream's end
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z.avail_in = static_cast<uInt>(size);
    char out[16384];
    // Output may stay inside zlib after the input is used up while the buffer was full.
    do {
        z.next_out = reinterpret_cast<Bytef*>(out);
        z.avail_out = sizeof out;
        const int rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) return status_ = Status::Corrupt;
        const std::size_t produced = sizeof out - z.avail_out;
        if (static_cast<std::size_t>(body_.size()) + produced > limit_)
            return status_ = Status::TooLarge;
        body_.append(out, static_cast<qsizetype>(produced));
        inflater_->ended = rc == Z_STREAM_END;
        if (rc == Z_BUF_ERROR) break;
    } while (!inflater_->ended && (z.avail_in > 0 || z.avail_out == 0));
    if (inflater_->ended && z.avail_in > 0) status_ = Status::Corrupt;
    return status_;
}

BodyDecoder::Status BodyDecoder::finish() {
    if (status_ == Status::Ok && inflater_ && !inflater_->ended) status_ = Status::Corrupt;
    return status_;
}

} // namespace pla
