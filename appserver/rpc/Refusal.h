#pragma once

#include <QString>
#include <stdexcept>

namespace pla {

// A request the server refuses on business grounds; the message is shown to the user as is.
class Refusal : public std::runtime_error {
public:
    explicit Refusal(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    // Portuguese text for the user.
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace pla
