#include "appserver/auth/Authenticator.h"

#include "appserver/ServerLog.h"
#include "appserver/auth/AuditTrail.h"
#include "appserver/auth/SessionStore.h"
#include "appserver/auth/UserStore.h"
#include "appserver/rpc/InputText.h"
#include "appserver/rpc/RemoteMethods.h"

namespace pla {

namespace {

QByteArray scheme(const QByteArray& authorization, const char* name) {
    const QByteArray prefix = QByteArray(name) + ' ';
    if (authorization.size() <= prefix.size() ||
        qstrnicmp(authorization.constData(), prefix.constData(), prefix.size()) != 0)
        return {};
    return authorization.mid(prefix.size()).trimmed();
}

Caller callerOf(const UserRecord& u, const RequestContext& request) {
    return Caller{u.login, u.name, u.branch, u.tied, request.origin()};
}

const QString kRequired = QStringLiteral("Este servidor exige usuário e senha.");

} // namespace

Authenticator::Authenticator(QSqlDatabase db, CredentialCache* cache, LoginThrottle* throttle,
                             std::chrono::seconds sessionLifetime)
    : db_(std::move(db)), cache_(cache), throttle_(throttle), sessionLifetime_(sessionLifetime) {}

bool Authenticator::openWithoutUsers(const RequestContext& request, const QDateTime& now) {
    if (!request.fromLoopback()) return false;
    std::optional<bool> any = cache_ ? cache_->anyUsers(now) : std::nullopt;
    if (!any) {
        any = UserStore(db_).anyUsers();
        if (cache_) cache_->rememberAnyUsers(*any, now);
    }
    return !*any;
}

Caller Authenticator::caller(const RequestContext& request, const QDateTime& now) {
    const QByteArray token = scheme(request.authorization, "Bearer");
    if (!token.isEmpty()) {
        std::optional<UserRecord> user = cache_ ? cache_->user(token, now) : std::nullopt;
        if (!user) {
            user = SessionStore(db_).user(token, now);
            if (user && cache_) cache_->rememberUser(token, *user, now);
        }
        if (user) return callerOf(*user, request);
        throw AuthFault{QStringLiteral("Sessão inválida ou expirada. Entre novamente.")};
    }
    if (!request.authorization.isEmpty())
        throw AuthFault{QStringLiteral("Credenciais não aceitas: use a sessão aberta pelo login "
                                       "(Authorization: Bearer).")};
    if (openWithoutUsers(request, now)) return Caller{{}, {}, {}, false, request.origin()};
    throw AuthFault{kRequired};
}

QJsonObject Authenticator::login(const RequestContext& request, const QDateTime& now) {
    const QByteArray basic = scheme(request.authorization, "Basic");
    if (basic.isEmpty())
        return RemoteMethods::success(
            QJsonObject{{QStringLiteral("exigeLogin"), !openWithoutUsers(request, now)}});
    const QByteArray pair = QByteArray::fromBase64(basic);
    const qsizetype colon = pair.indexOf(':');
    const QString login = QString::fromUtf8(pair.left(colon < 0 ? 0 : colon));
    const QString password = QString::fromUtf8(pair.mid(colon + 1));
    const QString& address = request.clientAddress;
    if (const int wait = throttle_ ? throttle_->wait(login, address, now) : 0)
        return RemoteMethods::refusal(
            QStringLiteral("Muitas tentativas de entrar sem sucesso. Tente novamente em %1 "
                           "segundo(s).")
                .arg(wait));
    const auto user = colon < 0 ? std::nullopt : UserStore(db_).verify(login, password);
    if (!user) {
        const int failures = throttle_ ? throttle_->failed(login, address, now) : 1;
        ServerLog::write(QStringLiteral("login recusado: usuário \"%1\" de %2 (%3ª falha seguida "
                                        "deste endereço)")
                             .arg(AuditTrail::visible(InputText::quoted(login)), address)
                             .arg(failures));
        return RemoteMethods::refusal(QStringLiteral("Usuário ou senha inválidos."));
    }
    if (throttle_) throttle_->succeeded(login, address);
    QDateTime expires;
    const QString token = SessionStore(db_, sessionLifetime_).open(user->login, now, expires);
    return RemoteMethods::success(QJsonObject{
        {QStringLiteral("exigeLogin"), true},
        {QStringLiteral("token"), token},
        {QStringLiteral("usuario"), user->login},
        {QStringLiteral("nome"), user->name},
        {QStringLiteral("filial"), user->branch},
        {QStringLiteral("vinculado"), user->tied},
        {QStringLiteral("validade"), expires.toUTC().toString(Qt::ISODate)},
    });
}

} // namespace pla
