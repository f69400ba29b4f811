#pragma once

#include <QString>
#include <stdexcept>

// A text the user typed could not be read as the value its control holds (a date, say).
// The message is Portuguese text for the user.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    QString Message() const { return message_; }

private:
    QString message_;
};
