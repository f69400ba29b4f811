#pragma once

#include <atomic>
#include <httplib.h>

namespace pla {

// An HTTP server whose stop does not wait for idle kept-alive connections: connections keep
// serving requests as usual, but a connection waiting for its client's next request is closed
// at once when the server stops, and a request in progress finishes (answered with
// "Connection: close") before its connection closes.
class StoppableHttpServer final : public httplib::Server {
public:
    StoppableHttpServer();
    ~StoppableHttpServer() override;
    StoppableHttpServer(const StoppableHttpServer&) = delete;
    StoppableHttpServer& operator=(const StoppableHttpServer&) = delete;

    // Closes idle connections now and every other one after its current request; call before
    // stop(). Safe from any thread; permanent.
    void closeConnections();

private:
    // Serves one accepted connection until the client closes it, it stays idle past the
    // keep-alive time, it reached the keep-alive request count or the server stops.
    bool process_and_close_socket(socket_t sock) override;
    // Waits for the next request on `sock`: false on idle time-out or server stop.
    bool awaitRequest(int sock) const;

    std::atomic<bool> closing_{false};
    int wakeFd_ = -1; // readable once closing: wakes every idle wait at once
};

} // namespace pla
