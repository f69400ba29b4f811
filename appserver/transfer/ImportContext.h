#pragma once

#include "appserver/transfer/ImportModel.h"

#include <QHash>
#include <QSqlDatabase>
#include <QVariantList>
#include <optional>

namespace pla {

// One row of an import file read into the values of its kind's columns.
struct ParsedRow {
    QString file;
    int line = 0;
    QVector<std::optional<QVariant>> values; // per column of the kind; nullopt: not in the file
    QVector<QPair<int, int>> places;         // per column: line and column of its cell
    bool ok = true;                          // every cell could be read
};

// State shared by the parts of one import: the rows each kind holds so far (stored ones and
// those of the files), the report, and the checks every kind makes alike.
class ImportContext {
public:
    ImportContext(QSqlDatabase db, ImportOptions options, ImportReport& report);

    QSqlDatabase db() const { return db_; }
    const ImportOptions& options() const { return options_; }
    ImportReport& report() { return report_; }
    // True while no error was found: from the first error on nothing more is written, since
    // the whole import will be rolled back.
    bool writing() const { return report_.errors.isEmpty(); }

    void error(const QString& file, int line, int column, const QString& reason);
    void error(const ParsedRow& row, int column, const QString& reason);

    // Reads a table's header and rows; header faults and unreadable cells are reported.
    QVector<ParsedRow> parse(const ImportTable& table);
    // Loads the stored rows of `kind` into known(kind).
    void loadStored(const ExchangeKind& kind);
    // Rows of a kind by key: every column's value, stored or imported in this run.
    QHash<QString, QVariantList>& known(DataKind kind) { return known_[static_cast<int>(kind)]; }
    // Keys of a kind's rows that the files of this run hold (self references may point ahead).
    QSet<QString>& fileKeys(DataKind kind) { return fileKeys_[static_cast<int>(kind)]; }
    // Checks every reference of `row`; reports the first that names nothing and returns false.
    bool checkReferences(const ExchangeKind& kind, const ParsedRow& row);
    // The key text of `row` for `columns` of `kind` (nullopt when one of them is empty).
    static std::optional<QString> key(const ExchangeKind& kind, const ParsedRow& row,
                                      const QStringList& columns);
    static QString joinKey(const QStringList& parts);

private:
    QSqlDatabase db_;
    ImportOptions options_;
    ImportReport& report_;
    QHash<QString, QVariantList> known_[static_cast<int>(DataKind::Distributions) + 1];
    QSet<QString> fileKeys_[static_cast<int>(DataKind::Distributions) + 1];
};

} // namespace pla
