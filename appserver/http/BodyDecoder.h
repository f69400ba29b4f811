#pragma once

#include <QByteArray>
#include <cstddef>
#include <memory>

namespace pla {

// Collects a request body as it arrives and undoes its Content-Encoding (identity, gzip or
// deflate), holding the decoded size to a limit, so a small compressed body can never grow
// past what a plain one may be.
class BodyDecoder {
public:
    enum class Status { Ok, TooLarge, Corrupt };

    // `encoding` is the Content-Encoding header (empty for none); `limit` bounds the decoded
    // bytes.
    BodyDecoder(const QByteArray& encoding, std::size_t limit);
    ~BodyDecoder();
    BodyDecoder(const BodyDecoder&) = delete;
    BodyDecoder& operator=(const BodyDecoder&) = delete;

    // True when the encoding is one of those above.
    static bool supports(const QByteArray& encoding);
    // Takes the next piece of the body as received; the first failure sticks.
    Status append(const char* data, std::size_t size);
    // Checks that a compressed body ended where its stream ends.
    Status finish();
    // The decoded body so far.
    const QByteArray& body() const { return body_; }

private:
    struct Inflater;

    std::size_t limit_;
    QByteArray body_;
    std::unique_ptr<Inflater> inflater_;
    Status status_ = Status::Ok;
};

} // namespace pla
