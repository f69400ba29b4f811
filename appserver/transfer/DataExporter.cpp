#include "appserver/transfer/DataExporter.h"

#include "appserver/storage/SqlUtil.h"
#include "appserver/transfer/CsvWriter.h"

#include <QDir>
#include <QSaveFile>
#include <stdexcept>

namespace pla {

namespace {

const QString kIso = QStringLiteral("yyyy-MM-dd");

// The query of a kind: its columns in file order, with the alias of the table that holds the
// branch and the menu date.
struct Source {
    QString select; // up to FROM ... (joins included)
    QString order;
    QString branchColumn, dateColumn; // empty: not filtered
};

Source sourceOf(const ExchangeKind& kind) {
    switch (kind.kind) {
    case DataKind::Menus:
        return {
            QStringLiteral(
                "SELECT c.CDFILIAL, c.CDSERVFILI, c.DTCARDAPIO, c.NRCARDAPIO, c.QTCOMENSAIS, "
                "p.NRORDPRATCAR, p.CDFILAUXPRAT, p.CDPRATO, p.QTPORPESSOA, p.QTEXTRA, "
                "p.NRSEQPRATCAR FROM CARDAPIO c JOIN PRATCARD p ON p.NRCARDAPIO = c.NRCARDAPIO"),
            QStringLiteral("c.CDFILIAL, c.DTCARDAPIO, c.CDSERVFILI, p.NRORDPRATCAR, "
                           "p.NRSEQPRATCAR"),
            QStringLiteral("c.CDFILIAL"), QStringLiteral("c.DTCARDAPIO")};
    case DataKind::Distributions:
        return {
            QStringLiteral(
                "SELECT d.CDFILIAL, d.CDSERVFILI, s.NMSERVICO, d.DTCARDAPIO, d.CDCLIENTE, "
                "cl.NMRAZSOCCLIE, d.CDDESTFILI, de.NMDESTFILI, d.NRDISTCARD, e.NREMBDISTCARD, "
                "e.CDCONTAINER, ct.NMCONTAINER, ct.IDPROPOSITO, e.QTCONTAINER, "
                "e.DSOBSETIQUETA, i.NRSEQPRATCAR, cd.CDFILAUXPRAT, cd.CDPRATO, cd.NMPRATO, "
                "cd.SGUNIDADE, i.QTCOMENSAIS, i.QTPRATO, i.QTEXTRA, i.IDPRINCIPAL "
                "FROM ITEMBDISTCARD i "
                "JOIN EMBDISTCARD e ON e.NREMBDISTCARD = i.NREMBDISTCARD "
                "JOIN DISTCARD d ON d.NRDISTCARD = i.NRDISTCARD "
                "JOIN CARDDISP cd ON cd.NRDISTCARD = i.NRDISTCARD "
                "AND cd.NRSEQPRATCAR = i.NRSEQPRATCAR "
                "JOIN CONTAINER ct ON ct.CDCONTAINER = e.CDCONTAINER "
                "LEFT JOIN SERVFILI s ON s.CDFILIAL = d.CDFILIAL AND s.CDSERVFILI = d.CDSERVFILI "
                "LEFT JOIN CLIENTE cl ON cl.CDCLIENTE = d.CDCLIENTE "
                "LEFT JOIN DESTFILI de ON de.CDCLIENTE = d.CDCLIENTE "
                "AND de.CDDESTFILI = d.CDDESTFILI"),
            QStringLiteral("d.CDFILIAL, d.DTCARDAPIO, d.CDSERVFILI, d.CDCLIENTE, d.CDDESTFILI, "
                           "e.NREMBDISTCARD, cd.NRORDPRATCAR, i.NRSEQPRATCAR"),
            QStringLiteral("d.CDFILIAL"), QStringLiteral("d.DTCARDAPIO")};
    default: {
        QStringList names;
        for (const ExchangeColumn& c : kind.columns)
            names << c.name;
        const bool byBranch = kind.indexOf(QStringLiteral("CDFILIAL")) >= 0;
        return {
            QStringLiteral("SELECT %1 FROM %2").arg(names.join(QStringLiteral(", ")), kind.table),
            kind.key.join(QStringLiteral(", ")), byBranch ? QStringLiteral("CDFILIAL") : QString(),
            QString()};
    }
    }
}

} // namespace

DataExporter::DataExporter(QSqlDatabase db) : db_(std::move(db)) {}

QByteArray DataExporter::file(DataKind kindId, const ExportFilter& filter, int* rows) {
    const ExchangeKind& kind = ExchangeFormat::of(kindId);
    const Source source = sourceOf(kind);
    QStringList where;
    QVariantList values;
    if (!filter.branch.isEmpty() && !source.branchColumn.isEmpty()) {
        where << source.branchColumn + QStringLiteral(" = ?");
        values << filter.branch;
    }
    if (!source.dateColumn.isEmpty() && filter.from.isValid()) {
        where << source.dateColumn + QStringLiteral(" >= ?");
        values << filter.from.toString(kIso);
    }
    if (!source.dateColumn.isEmpty() && filter.to.isValid()) {
        where << source.dateColumn + QStringLiteral(" <= ?");
        values << filter.to.toString(kIso);
    }
    QString sql = source.select;
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY ") + source.order;

    CsvWriter out;
    QStringList header;
    for (const ExchangeColumn& c : kind.columns)
        header << c.name;
    out.add(header);
    QSqlQuery q = SqlUtil::execList(db_, sql, values);
    const int n = kind.columns.size();
    while (q.next()) {
        QStringList fields;
        fields.reserve(n);
        for (int i = 0; i < n; ++i)
            fields << ExchangeFormat::format(kind.columns[i], q.value(i));
        out.add(fields);
    }
    if (rows) *rows = out.count() - 1;
    return out.bytes();
}

QVector<ExportedFile> DataExporter::write(const QString& folder, const ExportFilter& filter) {
    if (!QDir().mkpath(folder))
        throw std::runtime_error(
            QStringLiteral("Não foi possível criar a pasta %1.").arg(folder).toStdString());
    QVector<ExportedFile> written;
    for (const ExchangeKind& kind : ExchangeFormat::kinds()) {
        if (!filter.kinds.isEmpty() && !filter.kinds.contains(kind.kind)) continue;
        ExportedFile f{QDir(folder).filePath(kind.file + QStringLiteral(".csv")), 0};
        const QByteArray bytes = file(kind.kind, filter, &f.rows);
        QSaveFile out(f.path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            throw std::runtime_error(QStringLiteral("Não foi possível gravar %1: %2")
                                         .arg(f.path, out.errorString())
                                         .toStdString());
        written.push_back(f);
    }
    return written;
}

} // namespace pla
