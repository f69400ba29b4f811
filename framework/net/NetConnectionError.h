#pragma once

#include <QString>
#include <stdexcept>

// A failed remote call, raised only by a connection whose ThrowException is on (otherwise
// the failure comes back as a result envelope). The message is the Portuguese text for the
// user, naming the server address and what happened.
class ENetConnectionError : public std::runtime_error {
public:
    explicit ENetConnectionError(const QString& message);

    // The text for the user.
    QString Message() const { return message_; }

private:
    QString message_;
};
