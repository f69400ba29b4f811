#pragma once

#include <functional>
#include <utility>

// A single-handler event slot. Code attaches a handler, detaches it (getting it back to
// re-attach later) and raises the event; raising a detached event does nothing.
template <class... Args> class Event {
public:
    using Handler = std::function<void(Args...)>;

    // Attaches h, replacing whatever was attached.
    Event& operator=(Handler h) {
        h_ = std::move(h);
        return *this;
    }
    // Attaches h, replacing whatever was attached.
    void Set(Handler h) { h_ = std::move(h); }
    // Detaches the handler and returns it; the slot is empty afterwards.
    Handler Take() {
        Handler h = std::move(h_);
        h_ = nullptr;
        return h;
    }
    // The attached handler (empty when detached).
    const Handler& Get() const { return h_; }
    // True when a handler is attached.
    explicit operator bool() const { return static_cast<bool>(h_); }
    // Calls the attached handler. The handler may re-assign or detach this very slot while it
    // runs: it is called through a copy, so it stays alive until it returns.
    void operator()(Args... a) const {
        if (!h_) return;
        Handler h = h_;
        h(a...);
    }

private:
    Handler h_;
};
