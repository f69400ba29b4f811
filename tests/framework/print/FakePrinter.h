#pragma once

#include <QByteArray>
#include <future>
#include <optional>

namespace pla::test {

// A label printer's raw port on a free loopback port: takes one connection and keeps what
// arrives until the sender closes it.
class FakePrinter {
public:
    FakePrinter();
    ~FakePrinter();
    int Port() const { return port_; }
    // What arrived, or nullopt when nothing was sent and closed within seconds.
    std::optional<QByteArray> Received(int seconds);

private:
    int fd_ = -1;
    int port_ = 0;
    std::future<QByteArray> received_;
};

} // namespace pla::test
