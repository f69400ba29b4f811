#pragma once

#include "appserver/auth/Caller.h"
#include "appserver/auth/CredentialCache.h"
#include "appserver/auth/LoginThrottle.h"
#include "appserver/auth/SessionStore.h"
#include "appserver/http/RequestContext.h"

#include <QDateTime>
#include <QJsonObject>
#include <QSqlDatabase>

namespace pla {

// Credentials missing or not accepted; becomes a JSON-RPC error object.
struct AuthFault {
    static constexpr int kCode = -32001;
    QString message;
};

// Decides who a request comes from. A call carries `Authorization: Bearer TOKEN` with the
// token of a session opened by the `Login` call (which carries `Authorization: Basic`).
// A database without users lets loopback callers in without credentials, as the embedded
// server and a fresh or demo database always did.
class Authenticator {
public:
    // `cache`, when given, spares the database look-ups of recent callers; `throttle`, when
    // given, slows down repeated failed logins (see LoginThrottle); a login opens a session
    // lasting `sessionLifetime`.
    explicit Authenticator(QSqlDatabase db, CredentialCache* cache = nullptr,
                           LoginThrottle* throttle = nullptr,
                           std::chrono::seconds sessionLifetime = SessionStore::kLifetime);

    // The caller of a remote method; throws AuthFault.
    Caller caller(const RequestContext& request, const QDateTime& now);
    // The `Login` call: without credentials it says whether this server requires them;
    // with Basic credentials it opens a session and returns the token and the user's record;
    // wrong ones are refused with "Usuário ou senha inválidos." and written to the server's
    // log; while the throttle holds the caller back, the attempt is refused unchecked.
    QJsonObject login(const RequestContext& request, const QDateTime& now);

private:
    bool openWithoutUsers(const RequestContext& request, const QDateTime& now);
    QSqlDatabase db_;
    CredentialCache* cache_;
    LoginThrottle* throttle_;
    std::chrono::seconds sessionLifetime_;
};

} // namespace pla
