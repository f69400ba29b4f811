#pragma once

#include <QString>
#include <stdexcept>

// Raised by the data layer for every refused operation. The message is Portuguese text for the
// user, naming what was wrong (the field, the data set, the filter text…).
class EDatabaseError : public std::runtime_error {
public:
    // Builds the error with the user-facing message.
    explicit EDatabaseError(const QString& message);
    // The message as given.
    QString Message() const;

private:
    QString message_;
};
