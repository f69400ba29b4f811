#include "TestSockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pla::test {

namespace {

using Clock = std::chrono::steady_clock;

// Complete answers in `text`: each header block plus its Content-Length body.
int completeAnswers(const std::string& text) {
    int answers = 0;
    size_t at = 0;
    for (;;) {
        const size_t end = text.find("\r\n\r\n", at);
        if (end == std::string::npos) return answers;
        size_t length = 0;
        const size_t field = text.find("Content-Length:", at);
        if (field != std::string::npos && field < end)
            length = std::stoul(text.substr(field + 15, end - field - 15));
        if (text.size() < end + 4 + length) return answers;
        ++answers;
        at = end + 4 + length;
    }
}

} // namespace

void raiseOpenFileLimit(long descriptors) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    if (limit.rlim_cur >= static_cast<rlim_t>(descriptors)) return;
    limit.rlim_cur = std::min(limit.rlim_max, static_cast<rlim_t>(descriptors));
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

RawConnection::RawConnection(int port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

RawConnection::~RawConnection() {
    if (fd_ >= 0) ::close(fd_);
}

RawConnection::RawConnection(RawConnection&& other) noexcept
    : fd_(other.fd_), connected_(other.connected_) {
    other.fd_ = -1;
    other.connected_ = false;
}

bool RawConnection::send(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string RawConnection::readAnswers(int count, std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    std::string text;
    char buffer[4096];
    while (completeAnswers(text) < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

bool RawConnection::health() {
    if (!send("GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")) return false;
    return readAnswers(1, std::chrono::seconds(5)).rfind("HTTP/1.1 200", 0) == 0;
}

bool RawConnection::closedWithin(std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    char buffer[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return false;
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        // A connection still waiting in the listen queue is reset rather than closed.
        if (n == 0 || (n < 0 && errno == ECONNRESET)) return true;
        if (n < 0) return false;
    }
}

std::vector<RawConnection> idleConnections(int port, int count) {
    raiseOpenFileLimit(count + 512L);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Connected all at once: a server with a short listen queue would otherwise make each
    // connect wait out the kernel's retries in turn.
    std::vector<pollfd> pending;
    for (int i = 0; i < count; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) break;
        ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        pending.push_back({fd, POLLOUT, 0});
    }
    std::vector<RawConnection> connections;
    connections.reserve(pending.size());
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (!pending.empty() && Clock::now() < deadline) {
        if (::poll(pending.data(), pending.size(), 100) <= 0) continue;
        for (size_t i = 0; i < pending.size();) {
            if (!pending[i].revents) {
                ++i;
                continue;
            }
            const int fd = pending[i].fd;
            int error = 0;
            socklen_t length = sizeof error;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
            RawConnection c(fd, error == 0);
            if (c.connected()) c.send("GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
            connections.push_back(std::move(c));
            pending[i] = pending.back();
            pending.pop_back();
        }
    }
    for (const pollfd& p : pending)
        connections.push_back(RawConnection(p.fd, false));
    return connections;
}

} // namespace pla::test
