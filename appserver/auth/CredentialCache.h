#pragma once

#include "appserver/auth/UserStore.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <mutex>
#include <optional>

namespace pla {

// Remembers for a short while what the database said about a session token and about
// whether users exist, so the credential check of a call costs no database round trip (one
// costs about as much as a whole small call on PostgreSQL). A change made meanwhile by
// `pla-appserver user` (a disabled user, a new password, the first user) reaches this server
// when the entry ages out. Safe from any thread.
class CredentialCache {
public:
    // `milliseconds` 0 remembers nothing.
    explicit CredentialCache(int milliseconds) : lifetime_(milliseconds) {}

    // The user of `token` if the database named him within the lifetime.
    std::optional<UserRecord> user(const QByteArray& token, const QDateTime& now);
    void rememberUser(const QByteArray& token, const UserRecord& user, const QDateTime& now);
    // Whether users exist, if the database said so within the lifetime.
    std::optional<bool> anyUsers(const QDateTime& now);
    void rememberAnyUsers(bool any, const QDateTime& now);

private:
    const int lifetime_;
    std::mutex mutex_;
    QHash<QByteArray, std::pair<UserRecord, QDateTime>> users_;
    std::optional<std::pair<bool, QDateTime>> anyUsers_;
};

} // namespace pla
