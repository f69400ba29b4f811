#pragma once

#include <utility>

// Detaches an event for the lifetime of the guard and re-attaches the same handler when the
// guard is destroyed, however the scope is left (return, Abort or any other exception).
template <class E> class EventSuspend {
public:
    // Detaches e now; the handler comes back when the guard dies.
    explicit EventSuspend(E& e) : e_(e), saved_(e.Take()) {}
    ~EventSuspend() { e_.Set(std::move(saved_)); }
    EventSuspend(const EventSuspend&) = delete;
    EventSuspend& operator=(const EventSuspend&) = delete;

private:
    E& e_;
    typename E::Handler saved_;
};
