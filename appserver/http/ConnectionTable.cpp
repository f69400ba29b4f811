#include "appserver/http/ConnectionTable.h"

#include <sys/socket.h>

namespace pla {

ConnectionTable::ConnectionTable(int cap, Deadlines deadlines) : cap_(cap), deadlines_(deadlines) {}

ConnectionTable::Connection* ConnectionTable::add(int fd, QString address) {
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    connection->address = std::move(address);
    connection->since = Clock::now();
    Connection* c = connection.get();
    const std::lock_guard lock(mutex_);
    c->overCap = static_cast<int>(connections_.size()) >= cap_;
    connections_.emplace(c, std::move(connection));
    if (closing_) end(*c);
    return c;
}

void ConnectionTable::remove(Connection* connection) {
    const std::lock_guard lock(mutex_);
    connections_.erase(connection);
}

void ConnectionTable::enter(Connection* connection, Phase phase) {
    const std::lock_guard lock(mutex_);
    connection->phase = phase;
    connection->since = Clock::now();
    if (closing_ && phase == Phase::Waiting) end(*connection);
}

bool ConnectionTable::expired(const Connection& c, Clock::time_point now) const {
    switch (c.phase) {
    case Phase::Waiting:
        return now - c.since > deadlines_.waiting;
    case Phase::Headers:
        return now - c.since > deadlines_.headers;
    case Phase::Body:
        return now - c.since > deadlines_.body;
    case Phase::Answering:
        return now - c.since > deadlines_.answering;
    case Phase::Working:
        break;
    }
    return false;
}

void ConnectionTable::end(Connection& connection) const {
    // The event thread sees the socket end and closes the connection itself; the descriptor
    // stays valid until remove() has run, which takes the same lock.
    ::shutdown(connection.fd, SHUT_RDWR);
}

void ConnectionTable::sweep() {
    const auto now = Clock::now();
    const std::lock_guard lock(mutex_);
    for (auto& [key, c] : connections_)
        if (expired(*c, now)) end(*c);
}

void ConnectionTable::closeWaiting() {
    const std::lock_guard lock(mutex_);
    closing_ = true;
    for (auto& [key, c] : connections_)
        if (c->phase == Phase::Waiting) end(*c);
}

std::size_t ConnectionTable::size() const {
    const std::lock_guard lock(mutex_);
    return connections_.size();
}

} // namespace pla
