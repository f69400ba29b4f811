#include "appserver/transfer/DataImporter.h"

#include "appserver/storage/SqlTransaction.h"
#include "appserver/storage/StatementCache.h"
#include "appserver/transfer/ImportContext.h"
#include "appserver/transfer/MenuImporter.h"
#include "appserver/transfer/PackingRuleCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pla {

DataImporter::DataImporter(QSqlDatabase db, ImportOptions options)
    : db_(std::move(db)), options_(options) {}

QVector<ImportTable> DataImporter::read(const QStringList& paths, ImportReport& report) {
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            const QDir dir(path);
            for (const QString& name : dir.entryList(
                     {QStringLiteral("*.csv"), QStringLiteral("*.CSV")}, QDir::Files, QDir::Name))
                files << QDir::cleanPath(dir.filePath(name));
        } else {
            files << path;
        }
    }
    QVector<ImportTable> tables;
    for (const QString& file : files) {
        const ExchangeKind* kind = ExchangeFormat::forFileName(file);
        if (kind && kind->kind == DataKind::Distributions) {
            // An exported folder imports as it is: its distributions are for reading only.
            report.notices.push_back(
                {file, 0, 0, QStringLiteral("distribuições não são importadas; arquivo ignorado")});
            continue;
        }
        if (!kind) {
            QStringList names;
            for (const ExchangeKind& k : ExchangeFormat::kinds())
                if (k.kind != DataKind::Distributions) names << k.file + QStringLiteral(".csv");
            report.errors.push_back(
                {file, 0, 0,
                 QStringLiteral("o nome do arquivo não indica o que ele contém (use %1)")
                     .arg(names.join(QStringLiteral(", ")))});
            continue;
        }
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            report.errors.push_back(
                {file, 0, 0, QStringLiteral("não foi possível ler: %1").arg(f.errorString())});
            continue;
        }
        tables.push_back({kind, file, CsvReader::read(f)});
    }
    return tables;
}

void DataImporter::importRows(ImportContext& context, const ExchangeKind& kind,
                              const QVector<ParsedRow>& rows, ImportCount& count) {
    auto& known = context.known(kind.kind);
    QHash<QString, const ParsedRow*> seen;
    for (const ParsedRow& row : rows)
        if (const auto k = ImportContext::key(kind, row, kind.key))
            context.fileKeys(kind.kind) << *k;
    // One upsert per set of columns present, prepared once.
    for (const ParsedRow& row : rows) {
        ++count.rows;
        if (!row.ok) continue;
        const QString k = *ImportContext::key(kind, row, kind.key);
        if (const ParsedRow* first = seen.value(k, nullptr)) {
            context.error(row, kind.indexOf(kind.key.last()),
                          QStringLiteral("código repetido: já informado em %1:%2")
                              .arg(first->file)
                              .arg(first->line));
            continue;
        }
        seen.insert(k, &row);
        if (!context.checkReferences(kind, row)) continue;

        const auto stored = known.constFind(k);
        QVariantList merged = stored != known.cend() ? *stored : QVariantList();
        if (merged.isEmpty())
            for (const ExchangeColumn& c : kind.columns)
                merged << c.fallback;
        bool same = stored != known.cend();
        QStringList present;
        QVariantList values;
        for (int c = 0; c < kind.columns.size(); ++c) {
            if (!row.values[c]) continue;
            present << kind.columns[c].name;
            values << *row.values[c];
            if (merged[c] != *row.values[c]) same = false;
            merged[c] = *row.values[c];
        }
        int column = 0;
        QString broken = ExchangeFormat::rowRule(kind, merged, column);
        if (broken.isEmpty() && kind.kind == DataKind::PackingRules)
            broken = PackingRuleCheck::problem(context, merged, column);
        if (!broken.isEmpty()) {
            context.error(row, column, broken);
            continue;
        }
        if (same) {
            ++count.unchanged;
            continue;
        }
        ++(stored != known.cend() ? count.updated : count.inserted);
        known.insert(k, merged);
        if (!context.writing()) continue;

        QStringList updates;
        for (const QString& p : present)
            if (!kind.key.contains(p)) updates << QStringLiteral("%1 = excluded.%1").arg(p);
        StatementCache::run(
            db_,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (%4) DO %5")
                .arg(kind.table, present.join(QStringLiteral(", ")),
                     QStringList(present.size(), QStringLiteral("?")).join(QStringLiteral(", ")),
                     kind.key.join(QStringLiteral(", ")),
                     updates.isEmpty()
                         ? QStringLiteral("NOTHING")
                         : QStringLiteral("UPDATE SET ") + updates.join(QStringLiteral(", "))),
            values);
    }
}

ImportReport DataImporter::run(const QVector<ImportTable>& tables) {
    ImportReport report;
    ImportContext context(db_, options_, report);
    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    for (const ExchangeKind& kind : ExchangeFormat::kinds()) {
        if (kind.kind == DataKind::Distributions) continue;
        QVector<ParsedRow> rows;
        bool any = false;
        for (const ImportTable& t : tables)
            if (t.kind == &kind) {
                any = true;
                rows += context.parse(t);
            }
        if (kind.kind == DataKind::Menus) {
            if (!any) continue;
            ImportCount count{kind.file};
            MenuImporter(context).run(rows, count);
            report.counts.push_back(count);
            continue;
        }
        // Every master kind is known in full: later kinds check their references against it.
        context.loadStored(kind);
        if (!any) continue;
        ImportCount count{kind.file};
        importRows(context, kind, rows, count);
        report.counts.push_back(count);
    }
    if (report.errors.isEmpty() && !options_.dryRun) {
        tx.commit();
        report.stored = true;
    } else {
        tx.rollback();
    }
    return report;
}

} // namespace pla
