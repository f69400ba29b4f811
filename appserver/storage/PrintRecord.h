#pragma once

#include "appserver/auth/AuditTrail.h"
#include "appserver/auth/Caller.h"
#include "framework/data/DataPacket.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QVector>
#include <optional>

namespace pla {

// The record of what was printed: each successful print job of a branch day (labels, packing
// lists or both, or a reprint of one packaging's labels), who printed it and when, and every
// distribution it printed with the version it printed. A distribution whose labels were printed
// at an older version than the stored one has labels out there that no longer match it.
class PrintRecord {
public:
    // IDCONTEUDO: what the job printed.
    static constexpr QChar kLabels{u'E'};
    static constexpr QChar kPackingLists{u'R'};
    static constexpr QChar kBoth{u'A'};

    // One print job as the client reports it.
    struct Job {
        QString branch;
        QDate date;
        QChar contents;                  // kLabels, kPackingLists or kBoth
        QDateTime prepared;              // the preparation the labels state; invalid when none
        std::optional<qint64> packaging; // a reprint: the one packaging whose labels came out
        QString units;                   // a reprint: which of its units ("1-3"); else empty
        QVector<QPair<qint64, qint64>> printed; // distribution number, version printed
    };

    explicit PrintRecord(QSqlDatabase db);

    // Stores `job` in one write transaction. A distribution no longer stored (deleted after the
    // print read) is left out: its labels can no longer be compared with anything. Refuses
    // (pla::Refusal) a distribution of another branch or date, or a version it never had;
    // then nothing is stored.
    void record(const Caller& who, const QDateTime& now, const Job& job);

    // The latest whole labels print of every distribution of `branch` on `date` whose labels
    // were printed (reprints of one packaging left out: they renew only some labels): packet
    // NRDISTCARD, NRVERSAO (the version printed), DTHRIMPRESSAO ("dd/mm/aaaa hh:mm", server's
    // local time), NMUSUARIO, DTHRPREPARO ("AAAA-MM-DD HH:MM" or null), by number; with
    // `number`, that distribution's row alone.
    TDataPacket lastLabels(const QString& branch, const QDate& date,
                           std::optional<qint64> number = std::nullopt);

    // The prints that match `filter`, one event per printed distribution, oldest first, in the
    // audit's own form: operation "impressão" or "reimpressão", the version printed as both
    // versions, and one entry of kind "impressão" saying what was printed.
    QVector<AuditEvent> events(const AuditTrail::Filter& filter);

    // The wire and stored form of a preparation time.
    static QString preparedText(const QDateTime& prepared);

private:
    QSqlDatabase db_;
};

} // namespace pla
