#include "appserver/Authenticator.h"

#include "appserver/RemoteMethods.h"
#include "appserver/SessionStore.h"
#include "appserver/UserStore.h"

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
    return Caller{u.login, u.name, u.branch, u.tied, request.clientAddress};
}

const QString kRequired = QStringLiteral("Este servidor exige usuário e senha.");

} // namespace

Authenticator::Authenticator(QSqlDatabase db) : db_(std::move(db)) {}

bool Authenticator::openWithoutUsers(const RequestContext& request) {
    return request.fromLoopback() && !UserStore(db_).anyUsers();
}

Caller Authenticator::caller(const RequestContext& request, const QDateTime& now) {
    const QByteArray token = scheme(request.authorization, "Bearer");
    if (!token.isEmpty()) {
        if (const auto user = SessionStore(db_).user(token, now)) return callerOf(*user, request);
        throw AuthFault{QStringLiteral("Sessão inválida ou expirada. Entre novamente.")};
    }
    if (!request.authorization.isEmpty())
        throw AuthFault{QStringLiteral("Credenciais não aceitas: use a sessão aberta pelo login "
                                       "(Authorization: Bearer).")};
    if (openWithoutUsers(request)) return Caller{{}, {}, {}, false, request.clientAddress};
    throw AuthFault{kRequired};
}

QJsonObject Authenticator::login(const RequestContext& request, const QDateTime& now) {
    const QByteArray basic = scheme(request.authorization, "Basic");
    if (basic.isEmpty())
        return RemoteMethods::success(
            QJsonObject{{QStringLiteral("exigeLogin"), !openWithoutUsers(request)}});
    const QByteArray pair = QByteArray::fromBase64(basic);
    const qsizetype colon = pair.indexOf(':');
    const QString login = QString::fromUtf8(pair.left(colon < 0 ? 0 : colon));
    const QString password = QString::fromUtf8(pair.mid(colon + 1));
    const auto user = colon < 0 ? std::nullopt : UserStore(db_).verify(login, password);
    if (!user) return RemoteMethods::refusal(QStringLiteral("Usuário ou senha inválidos."));
    QDateTime expires;
    const QString token = SessionStore(db_).open(user->login, now, expires);
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
