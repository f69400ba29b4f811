#pragma once

#include "appserver/auth/UserStore.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <chrono>
#include <optional>

namespace pla {

// Sessions opened by a login. A token is 32 random bytes in hex; the database keeps only its
// BLAKE2b hash, so a copy of the database opens no session. All state is in the database,
// so any server on it accepts a token that another one issued.
class SessionStore {
public:
    // How long a session lasts from its login unless the server is told otherwise.
    static constexpr std::chrono::seconds kLifetime = std::chrono::hours(24);

    explicit SessionStore(QSqlDatabase db, std::chrono::seconds lifetime = kLifetime);
    // Opens a session for `login` lasting the store's lifetime and returns its token;
    // `expires` receives its end.
    QString open(const QString& login, const QDateTime& now, QDateTime& expires);
    // The active user of an unexpired session, if any.
    std::optional<UserRecord> user(const QByteArray& token, const QDateTime& now);

private:
    static QString digest(const QByteArray& token);
    QSqlDatabase db_;
    std::chrono::seconds lifetime_;
};

} // namespace pla
