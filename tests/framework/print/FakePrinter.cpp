#include "tests/framework/print/FakePrinter.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pla::test {

FakePrinter::FakePrinter() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd_, 1) != 0) return;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    received_ = std::async(std::launch::async, [fd = fd_] {
        QByteArray data;
        const int c = ::accept(fd, nullptr, nullptr);
        if (c < 0) return data;
        char buffer[65536];
        for (ssize_t n; (n = ::read(c, buffer, sizeof buffer)) > 0;)
            data.append(buffer, n);
        ::close(c);
        return data;
    });
}

FakePrinter::~FakePrinter() {
    // Wakes an accept still waiting, so the listener's thread ends.
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
}

std::optional<QByteArray> FakePrinter::Received(int seconds) {
    if (!received_.valid() ||
        received_.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready)
        return std::nullopt;
    return received_.get();
}

} // namespace pla::test
