#include "appserver/transfer/ImportContext.h"

#include "appserver/storage/SqlUtil.h"

#include <QSet>

namespace pla {

QString ImportIssue::text() const {
    if (column > 0)
        return QStringLiteral("%1:%2:%3: %4").arg(file).arg(line).arg(column).arg(reason);
    if (line > 0) return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(reason);
    return QStringLiteral("%1: %2").arg(file, reason);
}

int ImportReport::keptMenus() const {
    int kept = 0;
    for (const ImportCount& c : counts)
        kept += c.kept;
    return kept;
}

ImportContext::ImportContext(QSqlDatabase db, ImportOptions options, ImportReport& report)
    : db_(std::move(db)), options_(options), report_(report) {}

void ImportContext::error(const QString& file, int line, int column, const QString& reason) {
    report_.errors.push_back({file, line, column, reason});
}

void ImportContext::error(const ParsedRow& row, int column, const QString& reason) {
    const auto& place = row.places[column];
    error(row.file, place.first, place.second, reason);
}

QString ImportContext::joinKey(const QStringList& parts) {
    return parts.join(QLatin1Char('\x1f'));
}

std::optional<QString> ImportContext::key(const ExchangeKind& kind, const ParsedRow& row,
                                          const QStringList& columns) {
    QStringList parts;
    for (const QString& c : columns) {
        const auto& v = row.values[kind.indexOf(c)];
        if (!v || v->isNull()) return std::nullopt;
        parts << v->toString();
    }
    return joinKey(parts);
}

QVector<ParsedRow> ImportContext::parse(const ImportTable& table) {
    const ExchangeKind& kind = *table.kind;
    const CsvDocument& doc = table.document;
    QVector<ParsedRow> rows;
    for (const CsvProblem& p : doc.problems)
        error(table.file, p.line, p.column, p.reason);
    if (!doc.problems.isEmpty()) return rows;
    if (doc.records.isEmpty()) {
        error(table.file, 1, 1, QStringLiteral("arquivo vazio: falta a linha de cabeçalho"));
        return rows;
    }
    // Column of the kind -> field of the record.
    const CsvRecord& header = doc.records.first();
    QVector<int> fieldOf(kind.columns.size(), -1);
    bool headerOk = true;
    for (int f = 0; f < header.fields.size(); ++f) {
        const CsvField& h = header.fields[f];
        const QString name = h.text.trimmed();
        if (name.isEmpty() && f == header.fields.size() - 1) continue; // a trailing ';'
        const int c = kind.indexOf(name);
        if (c < 0) {
            QStringList names;
            for (const ExchangeColumn& col : kind.columns)
                names << col.name;
            error(table.file, h.line, h.column,
                  QStringLiteral("coluna desconhecida \"%1\" (as colunas de %2 são %3)")
                      .arg(name, kind.file, names.join(QStringLiteral(", "))));
            headerOk = false;
        } else if (fieldOf[c] >= 0) {
            error(table.file, h.line, h.column, QStringLiteral("coluna %1 repetida").arg(name));
            headerOk = false;
        } else {
            fieldOf[c] = f;
        }
    }
    for (int c = 0; c < kind.columns.size(); ++c)
        if (kind.columns[c].required && fieldOf[c] < 0) {
            error(table.file, header.line, 1,
                  QStringLiteral("falta a coluna obrigatória %1").arg(kind.columns[c].name));
            headerOk = false;
        }
    if (!headerOk) return rows;

    const int width = header.fields.size();
    rows.reserve(doc.records.size() - 1);
    for (int r = 1; r < doc.records.size(); ++r) {
        const CsvRecord& record = doc.records[r];
        ParsedRow row;
        row.file = table.file;
        row.line = record.line;
        row.values.resize(kind.columns.size());
        row.places.resize(kind.columns.size());
        for (int f = width; f < record.fields.size(); ++f)
            if (!record.fields[f].text.trimmed().isEmpty()) {
                error(table.file, record.fields[f].line, record.fields[f].column,
                      QStringLiteral("valor além das %1 colunas do cabeçalho").arg(width));
                row.ok = false;
                break;
            }
        for (int c = 0; c < kind.columns.size(); ++c) {
            const int f = fieldOf[c];
            if (f < 0) {
                row.places[c] = {record.line, 1};
                continue;
            }
            const bool present = f < record.fields.size();
            row.places[c] = present ? qMakePair(record.fields[f].line, record.fields[f].column)
                                    : qMakePair(record.line, record.end);
            QString reason;
            auto value = ExchangeFormat::parse(kind.columns[c],
                                               present ? record.fields[f].text : QString(), reason);
            if (!value) {
                error(row, c, reason);
                row.ok = false;
                continue;
            }
            row.values[c] = std::move(*value);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void ImportContext::loadStored(const ExchangeKind& kind) {
    QStringList names;
    for (const ExchangeColumn& c : kind.columns)
        names << c.name;
    QVector<int> keyIndex;
    for (const QString& k : kind.key)
        keyIndex << kind.indexOf(k);
    auto& rows = known(kind.kind);
    QSqlQuery q = SqlUtil::exec(
        db_, QStringLiteral("SELECT %1 FROM %2").arg(names.join(QStringLiteral(", ")), kind.table));
    while (q.next()) {
        QVariantList values;
        values.reserve(names.size());
        for (int i = 0; i < names.size(); ++i) {
            const QVariant v = q.value(i);
            const ValueType t = kind.columns[i].type;
            if (v.isNull())
                values << QVariant();
            else if (t == ValueType::Number)
                values << QVariant(v.toDouble());
            else if (t == ValueType::Integer)
                values << QVariant(v.toInt());
            else
                values << QVariant(v.toString());
        }
        QStringList parts;
        for (int k : keyIndex)
            parts << values[k].toString();
        rows.insert(joinKey(parts), values);
    }
}

bool ImportContext::checkReferences(const ExchangeKind& kind, const ParsedRow& row) {
    for (const ExchangeReference& ref : kind.references) {
        const auto k = key(kind, row, ref.columns);
        if (!k) continue;
        // A blank code that means "any" (a packing rule's) names nothing to look for.
        const QStringList parts = k->split(QLatin1Char('\x1f'));
        if (parts.contains(QString())) continue;
        if (known(ref.target).contains(*k)) continue;
        if (ref.target == kind.kind && fileKeys(kind.kind).contains(*k)) continue;
        QString what = ref.what;
        for (const QString& part : parts)
            what = what.arg(part);
        error(row, kind.indexOf(ref.columns.last()), what);
        return false;
    }
    return true;
}

} // namespace pla
