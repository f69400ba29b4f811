#pragma once

#include <QString>
#include <optional>

namespace pla {

// The user a server's login established: his record and the session token.
struct LoginRecord {
    QString login, name, branch;
    bool tied = false;
    QString token;
};

// Logging in to an application server: asks whether it requires credentials and opens a
// session with them (the `Login` call, Basic credentials; see docs/protocol.md).
class ServerLogin {
public:
    ServerLogin(QString host, int port);

    enum class Need { Nothing, Credentials, Failure };
    // Whether the server requires a login; Failure with `message` when it cannot be asked.
    Need probe(QString& message);
    // The user's record and token, or nullopt with the server's Portuguese reason in `message`.
    std::optional<LoginRecord> login(const QString& login, const QString& password,
                                     QString& message);

private:
    QString host_;
    int port_;
};

} // namespace pla
