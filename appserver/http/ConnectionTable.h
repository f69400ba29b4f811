#pragma once

#include <QString>
#include <chrono>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace pla {

// Every open connection of the HTTP endpoint with the phase it is in and since when, so that a
// phase that lasts too long ends its connection whatever trickle of bytes keeps it busy.
// Thread-safe: the event thread moves connections between phases, the serving thread sweeps.
class ConnectionTable {
public:
    using Clock = std::chrono::steady_clock;
    enum class Phase {
        Waiting,   // kept alive, no request begun
        Headers,   // request line received, headers arriving
        Body,      // headers complete, body arriving
        Working,   // the call runs on a worker: no deadline
        Answering, // the answer is being sent
    };
    // How long each phase may last.
    struct Deadlines {
        std::chrono::milliseconds waiting, headers, body, answering;
    };
    struct Connection {
        int fd = -1;
        QString address;
        bool overCap = false;
        Phase phase = Phase::Waiting;
        Clock::time_point since;
    };

    ConnectionTable(int cap, Deadlines deadlines);

    // Registers an accepted connection; it is over the cap when `cap` others are open.
    Connection* add(int fd, QString address);
    // Forgets a connection that is closing (before its socket is closed).
    void remove(Connection* connection);
    // Moves a connection to `phase`, starting the phase's clock.
    void enter(Connection* connection, Phase phase);
    // Ends (shuts down the socket of) every connection whose phase outlasted its deadline.
    void sweep();
    // From now on, ends connections as soon as they are waiting for a request (and those
    // waiting now).
    void closeWaiting();
    // Open connections.
    std::size_t size() const;

private:
    void end(Connection& connection) const;
    bool expired(const Connection& connection, Clock::time_point now) const;

    const int cap_;
    const Deadlines deadlines_;
    mutable std::mutex mutex_;
    std::unordered_map<Connection*, std::unique_ptr<Connection>> connections_;
    bool closing_ = false;
};

} // namespace pla
