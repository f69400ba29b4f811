#pragma once

#include "appserver/auth/Caller.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <optional>

namespace pla {

// The version of a stored distribution and who made it: every change advances it, and a
// save or delete sent from an older version is refused by name, storing nothing.
class DistributionVersion {
public:
    // Version, author and time of the last change.
    struct Stamp {
        qint64 version = 0;
        QString changedBy;
        QDateTime changedAt;
    };

    explicit DistributionVersion(QSqlDatabase db);

    // Inside a write transaction: the current stamp of distribution `number`, the row locked
    // against other writers until the transaction ends; nullopt when it is not stored.
    std::optional<Stamp> lock(qint64 number);
    // The current stamp of `number`, read without locking; nullopt when it is not stored.
    std::optional<Stamp> current(qint64 number);
    // Refuses (pla::Refusal with the conflict message) when `expected` is given and the
    // distribution was changed or deleted since that version; returns the current stamp
    // (nullopt when not stored and nothing says it was deleted).
    std::optional<Stamp> require(qint64 number, std::optional<qint64> expected);
    // Advances the version of `number` in the running transaction and stamps it with `who`
    // and `now`; returns the new version.
    qint64 advance(qint64 number, const Caller& who, const QDateTime& now);

    // "A distribuição foi alterada por USUÁRIO em dd/mm/aaaa hh:mm. Verifique ..."
    static QString conflictMessage(const QString& who, const QDateTime& when);

private:
    std::optional<Stamp> read(qint64 number, bool forUpdate);
    QSqlDatabase db_;
};

} // namespace pla
