#include "appserver/storage/DistributionVersion.h"

#include "appserver/auth/AuditTrail.h"
#include "appserver/rpc/Refusal.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StatementCache.h"

namespace pla {

DistributionVersion::DistributionVersion(QSqlDatabase db) : db_(std::move(db)) {}

std::optional<DistributionVersion::Stamp> DistributionVersion::lock(qint64 number) {
    // SQLite writers already hold the database's write lock (BEGIN IMMEDIATE); PostgreSQL
    // needs the row lock so two servers check and advance one after the other.
    return read(number, SqlUtil::isPostgres(db_));
}

std::optional<DistributionVersion::Stamp> DistributionVersion::current(qint64 number) {
    return read(number, false);
}

std::optional<DistributionVersion::Stamp> DistributionVersion::read(qint64 number, bool forUpdate) {
    const QString sql =
        QStringLiteral("SELECT NRVERSAO, NMUSUALT, DTHRALT FROM DISTCARD WHERE NRDISTCARD = ?") +
        (forUpdate ? QStringLiteral(" FOR UPDATE") : QString());
    auto q = StatementCache::run(db_, sql, {QVariant::fromValue(number)});
    if (!q.next()) return std::nullopt;
    return Stamp{q.value(0).toLongLong(), q.value(1).toString(),
                 QDateTime::fromString(q.value(2).toString(), Qt::ISODateWithMs)};
}

std::optional<DistributionVersion::Stamp>
DistributionVersion::require(qint64 number, std::optional<qint64> expected) {
    const std::optional<Stamp> current = lock(number);
    if (!expected) return current;
    if (current) {
        if (current->version != *expected)
            throw Refusal(conflictMessage(current->changedBy, current->changedAt));
        return current;
    }
    // Deleted since it was loaded: the audit trail knows by whom.
    if (const auto deleted = AuditTrail(db_).lastDeletion(number))
        throw Refusal(conflictMessage(deleted->userName, deleted->when));
    return std::nullopt;
}

qint64 DistributionVersion::advance(qint64 number, const Caller& who, const QDateTime& now) {
    StatementCache::run(
        db_,
        QStringLiteral("UPDATE DISTCARD SET NRVERSAO = NRVERSAO + 1, NMUSUALT = ?, "
                       "DTHRALT = ? WHERE NRDISTCARD = ?"),
        {who.displayName(), now.toUTC().toString(Qt::ISODateWithMs), QVariant::fromValue(number)});
    auto q = StatementCache::run(
        db_, QStringLiteral("SELECT NRVERSAO FROM DISTCARD WHERE NRDISTCARD = ?"),
        {QVariant::fromValue(number)});
    return q.next() ? q.value(0).toLongLong() : 0;
}

QString DistributionVersion::conflictMessage(const QString& who, const QDateTime& when) {
    return QStringLiteral("A distribuição foi alterada por %1 em %2. Verifique a distribuição "
                          "antes de confirmar.")
        .arg(who.isEmpty() ? QStringLiteral("outro usuário") : who,
             when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")));
}

} // namespace pla
