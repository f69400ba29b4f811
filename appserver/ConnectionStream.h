#pragma once

#include <array>
#include <chrono>
#include <httplib.h>

namespace pla {

// One accepted HTTP connection as the stream the HTTP library reads requests from and writes
// responses to: buffered reads and every read or write bounded by its time-out.
class ConnectionStream final : public httplib::Stream {
public:
    // Wraps the connected `socket` (not owned: the caller closes it).
    ConnectionStream(int socket, std::chrono::milliseconds readTimeout,
                     std::chrono::milliseconds writeTimeout);

    // True when data is buffered or arrives within the read time-out.
    bool is_readable() const override;
    // True when the socket accepts data within the write time-out.
    bool is_writable() const override;
    // Up to `size` bytes; 0 at end of stream, -1 on time-out or error.
    ssize_t read(char* ptr, size_t size) override;
    // Sends up to `size` bytes (never raising SIGPIPE); -1 on time-out or error.
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return socket_; }

private:
    bool wait(short events, std::chrono::milliseconds timeout) const;

    int socket_;
    std::chrono::milliseconds readTimeout_;
    std::chrono::milliseconds writeTimeout_;
    std::array<char, 4096> buffer_{};
    size_t offset_ = 0;
    size_t size_ = 0;
};

} // namespace pla
