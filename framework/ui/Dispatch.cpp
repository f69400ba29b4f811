#include "framework/ui/Dispatch.h"

#include "framework/data/Abort.h"

namespace pla {

namespace {
ErrorHandler& Handler() {
    static ErrorHandler handler;
    return handler;
}
} // namespace

bool Dispatch(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const Abort&) {
        return false;
    } catch (...) {
        ErrorHandler h = Handler();
        if (!h) throw;
        h(std::current_exception());
        return false;
    }
}

void SetErrorHandler(ErrorHandler handler) {
    Handler() = std::move(handler);
}

} // namespace pla
