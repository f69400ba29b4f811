#include "appserver/auth/SessionStore.h"

#include "appserver/storage/SqlTransaction.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StorageError.h"

#include <sodium.h>

namespace pla {

namespace {
QString stamp(const QDateTime& t) {
    return t.toUTC().toString(Qt::ISODateWithMs);
}
} // namespace

SessionStore::SessionStore(QSqlDatabase db, std::chrono::seconds lifetime)
    : db_(std::move(db)), lifetime_(lifetime) {}

QString SessionStore::digest(const QByteArray& token) {
    unsigned char out[32];
    crypto_generichash(out, sizeof out, reinterpret_cast<const unsigned char*>(token.constData()),
                       static_cast<unsigned long long>(token.size()), nullptr, 0);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(out), sizeof out).toHex());
}

QString SessionStore::open(const QString& login, const QDateTime& now, QDateTime& expires) {
    if (sodium_init() < 0) throw StorageError(QStringLiteral("libsodium não pôde ser iniciada."));
    unsigned char raw[32];
    randombytes_buf(raw, sizeof raw);
    const QByteArray token = QByteArray(reinterpret_cast<const char*>(raw), sizeof raw).toHex();
    expires = now.addSecs(lifetime_.count());
    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    // Sessions that ended are dropped here, where a write happens anyway.
    SqlUtil::exec(db_, QStringLiteral("DELETE FROM SESSAO WHERE DTHRVALIDADE < ?"), {stamp(now)});
    SqlUtil::exec(
        db_,
        QStringLiteral("INSERT INTO SESSAO (DSTOKEN, CDUSUARIO, DTHRVALIDADE) VALUES (?, ?, ?)"),
        {digest(token), login, stamp(expires)});
    tx.commit();
    return QString::fromLatin1(token);
}

std::optional<UserRecord> SessionStore::user(const QByteArray& token, const QDateTime& now) {
    if (token.size() != 64) return std::nullopt;
    QSqlQuery q = SqlUtil::exec(
        db_,
        QStringLiteral("SELECT u.CDUSUARIO, u.NMUSUARIO, u.CDFILIAL, u.IDVINCULADO FROM SESSAO s "
                       "JOIN USUARIO u ON u.CDUSUARIO = s.CDUSUARIO "
                       "WHERE s.DSTOKEN = ? AND s.DTHRVALIDADE > ? AND u.IDATIVO = 'S'"),
        {digest(token), stamp(now)});
    if (!q.next()) return std::nullopt;
    return UserRecord{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                      q.value(3).toString() == QLatin1String("S"), true};
}

} // namespace pla
