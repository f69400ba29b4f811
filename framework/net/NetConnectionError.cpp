#include "framework/net/NetConnectionError.h"

ENetConnectionError::ENetConnectionError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}
