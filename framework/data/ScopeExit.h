#pragma once

#include <functional>
#include <utility>

namespace pla {

// Runs an action when the scope ends, however it ends (an exception included): for restoring
// what an operation switched off, beside EventSuspend for event slots.
class ScopeExit {
public:
    explicit ScopeExit(std::function<void()> action) : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    std::function<void()> action_;
};

} // namespace pla
