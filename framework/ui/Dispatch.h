#pragma once

#include <exception>
#include <functional>

namespace pla {

// Receives the failure of a user action (the dialog services show it as an error box).
using ErrorHandler = std::function<void(std::exception_ptr)>;

// Runs one user action (a click, a key, a focus move ...). The silent abort (Abort) ends it
// with no message; any other exception goes to the installed error handler, or is rethrown
// when none is installed. Returns true when the action ran to its end.
bool Dispatch(const std::function<void()>& action);

// Installs the handler for failures of user actions; an empty handler uninstalls it.
void SetErrorHandler(ErrorHandler handler);

} // namespace pla
