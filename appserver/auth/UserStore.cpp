#include "appserver/auth/UserStore.h"

#include "appserver/rpc/Refusal.h"
#include "appserver/storage/SqlTransaction.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StorageError.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sodium.h>
#include <thread>

namespace pla {

namespace {

void requireSodium() {
    static const int ready = sodium_init();
    if (ready < 0) throw StorageError(QStringLiteral("libsodium não pôde ser iniciada."));
}

UserRecord record(const QSqlQuery& q) {
    return UserRecord{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                      q.value(3).toString() == QLatin1String("S"),
                      q.value(4).toString() == QLatin1String("S")};
}

// Checking a password costs 64 MiB and a tenth of a second of a core, by design. One check
// runs at a time, started at least kSpacing after the one before, and kWaiting more wait for
// their turn; one more is refused at once, before even reading the user. So a flood of logins
// takes at most half a core and one check's memory, and holds no more than three of the
// workers the remote methods need.
constexpr int kWaiting = 2;
constexpr auto kSpacing = std::chrono::milliseconds(250);
std::mutex turnMutex;
std::condition_variable turnFree;
bool checking = false;
int waiting = 0;
std::chrono::steady_clock::time_point lastStart;

template <class Work> auto inTurn(Work&& work) {
    {
        std::unique_lock lock(turnMutex);
        if (checking && waiting >= kWaiting)
            throw Refusal(QStringLiteral("O servidor está conferindo muitas senhas ao mesmo "
                                         "tempo. Tente entrar novamente em instantes."));
        ++waiting;
        turnFree.wait(lock, [] { return !checking; });
        --waiting;
        checking = true;
        const auto start = std::max(std::chrono::steady_clock::now(), lastStart + kSpacing);
        lastStart = start;
        lock.unlock();
        std::this_thread::sleep_until(start);
    }
    struct Done {
        ~Done() {
            {
                const std::lock_guard lock(turnMutex);
                checking = false;
            }
            turnFree.notify_one();
        }
    } done;
    return work();
}

const QString kSelect = QStringLiteral(
    "SELECT CDUSUARIO, NMUSUARIO, CDFILIAL, IDVINCULADO, IDATIVO, DSSENHA FROM USUARIO");

} // namespace

UserStore::UserStore(QSqlDatabase db) : db_(std::move(db)) {}

bool UserStore::anyUsers() {
    return SqlUtil::exec(db_, QStringLiteral("SELECT 1 FROM USUARIO LIMIT 1")).next();
}

QString UserStore::hash(const QString& password) {
    requireSodium();
    const QByteArray pw = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, pw.constData(), static_cast<unsigned long long>(pw.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw StorageError(QStringLiteral("Memória insuficiente para calcular a senha."));
    return QString::fromLatin1(out);
}

void UserStore::checkPassword(const QString& password) {
    if (password.size() < kMinPassword)
        throw Refusal(
            QStringLiteral("A senha deve ter pelo menos %1 caracteres.").arg(kMinPassword));
}

std::optional<UserRecord> UserStore::find(const QString& login) {
    QSqlQuery q = SqlUtil::exec(db_, kSelect + QStringLiteral(" WHERE CDUSUARIO = ?"), {login});
    if (!q.next()) return std::nullopt;
    return record(q);
}

void UserStore::add(const UserRecord& user, const QString& password) {
    if (user.login.trimmed().isEmpty() || user.login.size() > 40)
        throw Refusal(QStringLiteral("O login deve ter de 1 a 40 caracteres."));
    if (user.name.trimmed().isEmpty() || user.name.size() > 60)
        throw Refusal(QStringLiteral("O nome deve ter de 1 a 60 caracteres."));
    checkPassword(password);
    const QString hashed = hash(password);
    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    if (!SqlUtil::exec(db_, QStringLiteral("SELECT 1 FROM FILIAL WHERE CDFILIAL = ?"),
                       {user.branch})
             .next())
        throw Refusal(QStringLiteral("Filial %1 não cadastrada.").arg(user.branch));
    if (find(user.login)) throw Refusal(QStringLiteral("O usuário %1 já existe.").arg(user.login));
    SqlUtil::exec(db_,
                  QStringLiteral("INSERT INTO USUARIO (CDUSUARIO, NMUSUARIO, CDFILIAL, "
                                 "IDVINCULADO, IDATIVO, DSSENHA) VALUES (?, ?, ?, ?, 'S', ?)"),
                  {user.login, user.name, user.branch,
                   user.tied ? QStringLiteral("S") : QStringLiteral("N"), hashed});
    tx.commit();
}

void UserStore::setPassword(const QString& login, const QString& password) {
    checkPassword(password);
    const QString hashed = hash(password);
    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    if (!find(login)) throw Refusal(QStringLiteral("O usuário %1 não existe.").arg(login));
    SqlUtil::exec(db_, QStringLiteral("UPDATE USUARIO SET DSSENHA = ? WHERE CDUSUARIO = ?"),
                  {hashed, login});
    SqlUtil::exec(db_, QStringLiteral("DELETE FROM SESSAO WHERE CDUSUARIO = ?"), {login});
    tx.commit();
}

void UserStore::disable(const QString& login) {
    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    if (!find(login)) throw Refusal(QStringLiteral("O usuário %1 não existe.").arg(login));
    SqlUtil::exec(db_, QStringLiteral("UPDATE USUARIO SET IDATIVO = 'N' WHERE CDUSUARIO = ?"),
                  {login});
    SqlUtil::exec(db_, QStringLiteral("DELETE FROM SESSAO WHERE CDUSUARIO = ?"), {login});
    tx.commit();
}

QVector<UserRecord> UserStore::list() {
    QVector<UserRecord> users;
    QSqlQuery q = SqlUtil::exec(db_, kSelect + QStringLiteral(" ORDER BY CDUSUARIO"));
    while (q.next())
        users.push_back(record(q));
    return users;
}

std::optional<UserRecord> UserStore::verify(const QString& login, const QString& password) {
    requireSodium();
    return inTurn([&]() -> std::optional<UserRecord> {
        QSqlQuery q = SqlUtil::exec(db_, kSelect + QStringLiteral(" WHERE CDUSUARIO = ?"), {login});
        const QByteArray pw = password.toUtf8();
        if (!q.next()) {
            // The same work for an unknown login, so the answer's time does not tell logins
            // apart.
            static const QByteArray dummy = hash(QStringLiteral("sem usuário")).toLatin1();
            [[maybe_unused]] const int ignored = crypto_pwhash_str_verify(
                dummy.constData(), pw.constData(), static_cast<unsigned long long>(pw.size()));
            return std::nullopt;
        }
        const UserRecord user = record(q);
        const QByteArray stored = q.value(5).toString().toLatin1();
        if (crypto_pwhash_str_verify(stored.constData(), pw.constData(),
                                     static_cast<unsigned long long>(pw.size())) != 0 ||
            !user.active)
            return std::nullopt;
        return user;
    });
}

} // namespace pla
