#include "appserver/ConnectionStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

namespace pla {

namespace {

using Clock = std::chrono::steady_clock;

// Numeric host and port of a socket address.
void describe(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port) {
    char host[NI_MAXHOST] = {};
    char service[NI_MAXSERV] = {};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host,
                      service, sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
        ip = host;
        port = std::atoi(service);
    }
}

} // namespace

ConnectionStream::ConnectionStream(int socket, std::chrono::milliseconds readTimeout,
                                   std::chrono::milliseconds writeTimeout)
    : socket_(socket), readTimeout_(readTimeout), writeTimeout_(writeTimeout) {}

bool ConnectionStream::wait(short events, std::chrono::milliseconds timeout) const {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{socket_, events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (n > 0) return true; // readable, writable, closed or failed: the call tells which
        if (n == 0) return false;
        if (errno != EINTR) return false;
    }
}

bool ConnectionStream::is_readable() const {
    return offset_ < size_ || wait(POLLIN, readTimeout_);
}

bool ConnectionStream::is_writable() const {
    return wait(POLLOUT, writeTimeout_);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (offset_ < size_) {
        const size_t n = std::min(size, size_ - offset_);
        std::memcpy(ptr, buffer_.data() + offset_, n);
        offset_ += n;
        return static_cast<ssize_t>(n);
    }
    if (!wait(POLLIN, readTimeout_)) return -1;
    // Small reads (request lines, headers) go through the buffer; large ones straight in.
    const bool buffered = size < buffer_.size();
    ssize_t n = 0;
    do {
        n = ::recv(socket_, buffered ? buffer_.data() : ptr, buffered ? buffer_.size() : size, 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0 || !buffered) return n;
    const size_t taken = std::min(size, static_cast<size_t>(n));
    std::memcpy(ptr, buffer_.data(), taken);
    offset_ = taken;
    size_ = static_cast<size_t>(n);
    return static_cast<ssize_t>(taken);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    if (!is_writable()) return -1;
    ssize_t n = 0;
    do {
        n = ::send(socket_, ptr, size, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        describe(address, length, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        describe(address, length, ip, port);
}

} // namespace pla
