#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVector>
#include <optional>

namespace pla {

// One user of the server.
struct UserRecord {
    QString login;  // CDUSUARIO
    QString name;   // NMUSUARIO
    QString branch; // CDFILIAL
    bool tied = false;
    bool active = true;
};

// The users of the server, with passwords kept only as libsodium crypto_pwhash strings
// (Argon2id, memory-hard). Changing a password or disabling a user ends that user's sessions.
class UserStore {
public:
    explicit UserStore(QSqlDatabase db);

    // True when the database holds at least one user, active or not: a server with users
    // requires credentials on every call, also on loopback.
    bool anyUsers();
    // Adds a user; throws pla::Refusal (Portuguese) for a login already used, an unknown
    // branch, an empty login or name, or a password shorter than 8 characters.
    void add(const UserRecord& user, const QString& password);
    // Sets a new password; throws pla::Refusal for an unknown login or a short password.
    void setPassword(const QString& login, const QString& password);
    // Disables the user; throws pla::Refusal for an unknown login.
    void disable(const QString& login);
    // Every user, by login.
    QVector<UserRecord> list();
    // The active user whose password matches, if any. Throws pla::Refusal, checking nothing,
    // while as many checks as the server allows are running and waiting.
    std::optional<UserRecord> verify(const QString& login, const QString& password);

    // Shortest password accepted.
    static constexpr int kMinPassword = 8;

private:
    std::optional<UserRecord> find(const QString& login);
    static QString hash(const QString& password);
    static void checkPassword(const QString& password);

    QSqlDatabase db_;
};

} // namespace pla
