#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace pla::test {

// Lets this process hold `descriptors` open files (sockets) at once, up to the hard limit.
void raiseOpenFileLimit(long descriptors);

// A plain TCP connection to a loopback port, so a test sees exactly what the server sends and
// when it closes.
class RawConnection {
public:
    explicit RawConnection(int port);
    ~RawConnection();
    RawConnection(RawConnection&& other) noexcept;
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return connected_; }
    // Sends all of `bytes`; false when the connection failed.
    bool send(const std::string& bytes);
    // Reads until `count` complete HTTP answers arrived, the server closed, or `wait` passed;
    // returns what arrived.
    std::string readAnswers(int count, std::chrono::milliseconds wait);
    // Sends GET /health and reads its whole answer; true for a 200.
    bool health();
    // True when the server closed or reset the connection within `wait`.
    bool closedWithin(std::chrono::milliseconds wait);

private:
    friend std::vector<RawConnection> idleConnections(int port, int count);
    RawConnection(int fd, bool connected) : fd_(fd), connected_(connected) {}

    int fd_ = -1;
    bool connected_ = false;
};

// `count` connections that each asked for /health once and then stay open and silent, as
// desktop hosts left open between calls do. Connections the server has not accepted within a
// few seconds stay pending in the kernel, still asking.
std::vector<RawConnection> idleConnections(int port, int count);

} // namespace pla::test
