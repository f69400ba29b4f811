#pragma once

#include "appserver/auth/Caller.h"
#include "appserver/storage/DistributionModel.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVector>
#include <optional>

namespace pla {

// One recorded change of a distribution.
struct AuditEvent {
    QDateTime when;
    QString login, userName, address;
    QString operation; // "gravação", "exclusão", "redistribuição", "geração", or a print
    qint64 number = 0;
    DistributionKey key;
    std::optional<qint64> versionBefore, versionAfter; // none before a creation / after a delete
    bool versioned = false; // the call carried the version it was made from
    // What changed: packagings and dish rows added, changed, removed, with their amounts.
    QJsonArray changes;

    // The event as JSON, its texts made visible as in AuditTrail::table.
    QJsonObject toJson() const;
};

// The audit trail: appended to inside the transaction of each change, read by the
// `pla-appserver audit` command and, for one distribution whose save was refused, by the
// clerk (GetAlteracoesDistribuicao). No remote method changes it.
class AuditTrail {
public:
    static inline const QString kSave = QStringLiteral("gravação");
    static inline const QString kDelete = QStringLiteral("exclusão");
    static inline const QString kRedo = QStringLiteral("redistribuição");
    static inline const QString kGenerate = QStringLiteral("geração");
    // A print job (PrintRecord), shown among the changes: it changes nothing.
    static inline const QString kPrint = QStringLiteral("impressão");
    static inline const QString kReprint = QStringLiteral("reimpressão");

    // Which events to read; empty members select everything.
    struct Filter {
        std::optional<qint64> number;
        QString branch;
        QDate since;

        // " WHERE …" over the given columns (empty when nothing is selected), its values
        // appended to `values`. `since` counts from local midnight; times are stored in UTC.
        QString where(const QString& numberColumn, const QString& branchColumn,
                      const QString& timeColumn, QVariantList& values) const;
    };

    explicit AuditTrail(QSqlDatabase db);

    // Appends one event in the running transaction. `before` is null for a new distribution,
    // `after` null for a deletion.
    void record(const Caller& who, const QString& operation, const QDateTime& now,
                const Distribution* before, const Distribution* after,
                std::optional<qint64> versionBefore, std::optional<qint64> versionAfter,
                bool versioned);
    // The events that match, oldest first.
    QVector<AuditEvent> events(const Filter& filter);
    // The events of distribution `number` made from version `version` on, oldest first.
    QVector<AuditEvent> eventsAfter(qint64 number, qint64 version);
    // One change of an event, in words: "embalagem 10 alterada: QTCONTAINER 4 → 5".
    static QString describe(const QJsonObject& change);
    // The latest deletion of distribution `number`, if any.
    std::optional<AuditEvent> lastDeletion(qint64 number);

    // The packagings and dish rows that differ between two states of a distribution.
    static QJsonArray changes(const Distribution* before, const Distribution* after);
    // `text` with every line break, tab and other control character written as a visible
    // escape (a line break as backslash and n, ESC as backslash and u001b), so a label or name
    // cannot start a record of its own in what the audit prints. The database keeps the text as it
    // was.
    static QString visible(const QString& text);
    // A fixed-width table of events, each followed by one indented line per change; every text
    // made visible.
    static QString table(const QVector<AuditEvent>& events);
    // An event read from a row holding, in this order, its time, login, user name and address
    // from column 0, and the distribution's number and key (branch, service, date, client,
    // destination) from column `number`.
    static AuditEvent readEvent(const QSqlQuery& q, int number);

private:
    QVector<AuditEvent> select(const QString& where, const QVariantList& values);
    QSqlDatabase db_;
};

} // namespace pla
