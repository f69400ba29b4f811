#include "appserver/storage/PrintRecord.h"

#include "appserver/rpc/Refusal.h"
#include "appserver/storage/SqlTransaction.h"
#include "appserver/storage/SqlUtil.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>

namespace pla {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kPreparedFormat = QStringLiteral("yyyy-MM-dd HH:mm");

// Qt SQL binds a null QString as NULL; the record's texts are never NULL.
QString nonNull(const QString& s) {
    return s.isNull() ? QStringLiteral("") : s;
}

// "?, ?" for `rows` of one value, "(?, ?), (?, ?)" for rows of more.
QString placeholders(qsizetype rows, int perRow) {
    QString row = QStringList(perRow, QStringLiteral("?")).join(QLatin1String(", "));
    if (perRow > 1) row = QLatin1Char('(') + row + QLatin1Char(')');
    return QStringList(rows, row).join(QLatin1String(", "));
}

QString contentsText(const QString& code) {
    if (code == QLatin1String("E")) return QStringLiteral("etiquetas");
    if (code == QLatin1String("R")) return QStringLiteral("romaneios");
    return QStringLiteral("etiquetas e romaneios");
}

} // namespace

PrintRecord::PrintRecord(QSqlDatabase db) : db_(std::move(db)) {}

QString PrintRecord::preparedText(const QDateTime& prepared) {
    return prepared.isValid() ? prepared.toString(kPreparedFormat) : QString();
}

void PrintRecord::record(const Caller& who, const QDateTime& now, const Job& job) {
    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    struct Row {
        qint64 number, version;
        QString service, client, destination;
    };
    // The printed distributions' headers, read a few hundred at a time rather than one by one:
    // a day's print names every distribution of the branch.
    struct Stored {
        QString branch, date;
        qint64 version;
        QString service, client, destination;
    };
    QHash<qint64, Stored> stored;
    constexpr qsizetype kReadChunk = 500;
    for (qsizetype first = 0; first < job.printed.size(); first += kReadChunk) {
        const qsizetype n = std::min(kReadChunk, job.printed.size() - first);
        QVariantList numbers;
        for (qsizetype i = first; i < first + n; ++i)
            numbers << QVariant::fromValue(job.printed[i].first);
        QSqlQuery q = SqlUtil::execList(
            db_,
            QStringLiteral("SELECT NRDISTCARD, CDFILIAL, DTCARDAPIO, NRVERSAO, CDSERVFILI, "
                           "CDCLIENTE, CDDESTFILI FROM DISTCARD WHERE NRDISTCARD IN (%1)")
                .arg(placeholders(n, 1)),
            numbers);
        while (q.next())
            stored.insert(q.value(0).toLongLong(),
                          {q.value(1).toString(), q.value(2).toString(), q.value(3).toLongLong(),
                           q.value(4).toString(), q.value(5).toString(), q.value(6).toString()});
    }
    QVector<Row> rows;
    for (const auto& [number, version] : job.printed) {
        const auto it = stored.constFind(number);
        if (it == stored.cend()) continue; // deleted since it was printed
        if (it->branch != job.branch || it->date != job.date.toString(kDateFormat))
            throw Refusal(QStringLiteral("A distribuição %1 não é da filial %2 em %3: a impressão "
                                         "não foi registrada.")
                              .arg(number)
                              .arg(job.branch, job.date.toString(QStringLiteral("dd/MM/yyyy"))));
        if (version < 1 || version > it->version)
            throw Refusal(QStringLiteral("A distribuição %1 não teve a versão %2: a impressão não "
                                         "foi registrada.")
                              .arg(number)
                              .arg(version));
        rows.push_back({number, version, it->service, it->client, it->destination});
    }
    if (!rows.isEmpty()) {
        QSqlQuery id = SqlUtil::exec(
            db_,
            QStringLiteral("INSERT INTO DISTIMPRESSAO (DTHRIMPRESSAO, CDUSUARIO, NMUSUARIO, "
                           "DSENDERECO, CDFILIAL, DTCARDAPIO, IDCONTEUDO, DTHRPREPARO, "
                           "NREMBDISTCARD, DSUNIDADES) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                           "RETURNING NRIMPRESSAO"),
            {now.toUTC().toString(Qt::ISODateWithMs), nonNull(who.login), who.displayName(),
             nonNull(who.address), job.branch, job.date.toString(kDateFormat),
             QString(job.contents),
             job.prepared.isValid() ? QVariant(preparedText(job.prepared))
                                    : QVariant(QMetaType::fromType<QString>()),
             job.packaging ? QVariant::fromValue(*job.packaging)
                           : QVariant(QMetaType::fromType<qlonglong>()),
             job.units.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(job.units)});
        if (!id.next()) throw Refusal(QStringLiteral("A impressão não foi registrada."));
        const qint64 print = id.value(0).toLongLong();
        constexpr qsizetype kWriteChunk = 100;
        for (qsizetype first = 0; first < rows.size(); first += kWriteChunk) {
            const qsizetype n = std::min(kWriteChunk, rows.size() - first);
            QVariantList values;
            for (qsizetype i = first; i < first + n; ++i) {
                const Row& r = rows[i];
                values << QVariant::fromValue(print) << QVariant::fromValue(r.number) << r.service
                       << r.client << r.destination << QVariant::fromValue(r.version);
            }
            SqlUtil::execList(
                db_,
                QStringLiteral("INSERT INTO ITDISTIMPRESSAO (NRIMPRESSAO, NRDISTCARD, "
                               "CDSERVFILI, CDCLIENTE, CDDESTFILI, NRVERSAO) VALUES %1")
                    .arg(placeholders(n, 6)),
                values);
        }
    }
    tx.commit();
}

TDataPacket PrintRecord::lastLabels(const QString& branch, const QDate& date,
                                    std::optional<qint64> number) {
    TDataPacket p;
    p.Fields = {{"NRDISTCARD", TFieldType::Float, 0},
                {"NRVERSAO", TFieldType::Float, 0},
                {"DTHRIMPRESSAO", TFieldType::String, 16},
                {"NMUSUARIO", TFieldType::String, 60},
                {"DTHRPREPARO", TFieldType::String, 16}};
    // Versions only grow: the last row of each distribution in this order is its newest print.
    QVariantList values{branch, date.toString(kDateFormat)};
    if (number) values << QVariant::fromValue(*number);
    QSqlQuery q = SqlUtil::execList(
        db_,
        QStringLiteral("SELECT i.NRDISTCARD, i.NRVERSAO, p.DTHRIMPRESSAO, p.NMUSUARIO, "
                       "p.DTHRPREPARO FROM ITDISTIMPRESSAO i "
                       "JOIN DISTIMPRESSAO p ON p.NRIMPRESSAO = i.NRIMPRESSAO "
                       "JOIN DISTCARD d ON d.NRDISTCARD = i.NRDISTCARD "
                       "WHERE d.CDFILIAL = ? AND d.DTCARDAPIO = ? AND p.IDCONTEUDO IN ('E', 'A') "
                       "AND p.NREMBDISTCARD IS NULL") +
            (number ? QStringLiteral(" AND d.NRDISTCARD = ?") : QString()) +
            QStringLiteral(" ORDER BY i.NRDISTCARD, i.NRVERSAO, p.NRIMPRESSAO"),
        values);
    while (q.next()) {
        const double distribution = q.value(0).toDouble();
        const QDateTime when = QDateTime::fromString(q.value(2).toString(), Qt::ISODateWithMs);
        QVector<QVariant> row{distribution, q.value(1).toDouble(),
                              when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                              q.value(3).toString(),
                              q.value(4).isNull() ? QVariant() : q.value(4).toString()};
        if (!p.Rows.isEmpty() && p.Rows.back().first().toDouble() == distribution)
            p.Rows.back() = std::move(row);
        else
            p.Rows.push_back(std::move(row));
    }
    return p;
}

QVector<AuditEvent> PrintRecord::events(const AuditTrail::Filter& filter) {
    QVariantList values;
    const QString where = filter.where(QStringLiteral("i.NRDISTCARD"), QStringLiteral("p.CDFILIAL"),
                                       QStringLiteral("p.DTHRIMPRESSAO"), values);
    QSqlQuery q = SqlUtil::execList(
        db_,
        QStringLiteral("SELECT p.DTHRIMPRESSAO, p.CDUSUARIO, p.NMUSUARIO, p.DSENDERECO, "
                       "p.IDCONTEUDO, p.DTHRPREPARO, p.NREMBDISTCARD, p.DSUNIDADES, "
                       "i.NRDISTCARD, p.CDFILIAL, i.CDSERVFILI, p.DTCARDAPIO, i.CDCLIENTE, "
                       "i.CDDESTFILI, i.NRVERSAO FROM DISTIMPRESSAO p "
                       "JOIN ITDISTIMPRESSAO i ON i.NRIMPRESSAO = p.NRIMPRESSAO") +
            where + QStringLiteral(" ORDER BY p.NRIMPRESSAO, i.NRDISTCARD"),
        values);
    QVector<AuditEvent> out;
    while (q.next()) {
        AuditEvent e = AuditTrail::readEvent(q, 8);
        const bool reprint = !q.value(6).isNull();
        e.operation = reprint ? AuditTrail::kReprint : AuditTrail::kPrint;
        e.versionBefore = e.versionAfter = q.value(14).toLongLong();
        e.versioned = true;
        QJsonObject what{{QStringLiteral("tipo"), AuditTrail::kPrint},
                         {QStringLiteral("conteudo"), contentsText(q.value(4).toString())}};
        if (!q.value(5).isNull()) {
            const QDateTime prepared =
                QDateTime::fromString(q.value(5).toString(), kPreparedFormat);
            what.insert(QStringLiteral("preparo"),
                        prepared.toString(QStringLiteral("dd/MM/yyyy HH:mm")));
        }
        if (reprint) {
            what.insert(QStringLiteral("NREMBDISTCARD"), q.value(6).toDouble());
            what.insert(QStringLiteral("unidades"), q.value(7).toString());
        }
        e.changes = QJsonArray{what};
        out.push_back(e);
    }
    return out;
}

} // namespace pla
