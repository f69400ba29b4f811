#pragma once

#include <QString>
#include <stdexcept>

namespace pla {

// A database operation failed (connection, SQL error, constraint); carries the driver's text.
class StorageError : public std::runtime_error {
public:
    explicit StorageError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    // The driver's description of what failed, with the statement's purpose.
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace pla
