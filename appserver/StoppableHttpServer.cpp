#include "appserver/StoppableHttpServer.h"

#include "appserver/ConnectionStream.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pla {

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds timeout(time_t seconds, time_t microseconds) {
    return std::chrono::milliseconds(seconds * 1000 + microseconds / 1000);
}

} // namespace

StoppableHttpServer::StoppableHttpServer() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StoppableHttpServer::~StoppableHttpServer() {
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void StoppableHttpServer::closeConnections() {
    if (closing_.exchange(true)) return;
    const std::uint64_t one = 1;
    if (wakeFd_ >= 0) {
        // Nobody reads the counter, so it stays readable for every later wait too.
        [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
    }
}

bool StoppableHttpServer::awaitRequest(int sock) const {
    const auto deadline = Clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
    const nfds_t count = wakeFd_ >= 0 ? 2 : 1;
    for (;;) {
        if (closing_) return false;
        pollfd fds[2] = {{sock, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const long long left = std::max<long long>(
            0,
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
        // Without the wake descriptor, poll in short slices so a stop is still seen soon.
        const int slice = static_cast<int>(count == 2 ? left : std::min<long long>(left, 50));
        const int n = ::poll(fds, count, slice);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n > 0 && count == 2 && fds[1].revents) return false;
        // Data, or the client closed (reading then finds the end): the request loop decides.
        if (n > 0 && fds[0].revents) return !closing_;
        if (Clock::now() >= deadline) return false;
    }
}

bool StoppableHttpServer::process_and_close_socket(socket_t sock) {
    ConnectionStream stream(sock, timeout(read_timeout_sec_, read_timeout_usec_),
                            timeout(write_timeout_sec_, write_timeout_usec_));
    bool ok = false;
    for (size_t left = keep_alive_max_count_; left > 0 && svr_sock_ != INVALID_SOCKET; --left) {
        if (!awaitRequest(sock)) break;
        bool closed = false;
        ok = process_request(stream, left == 1 || closing_, closed, nullptr);
        if (!ok || closed) break;
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
}

} // namespace pla
