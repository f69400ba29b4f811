#pragma once

#include "appserver/transfer/ImportModel.h"

#include <QSqlDatabase>
#include <QStringList>

namespace pla {

class ImportContext;
struct ParsedRow;

// Stores a kitchen's master data and menus from import tables, in one transaction: rows are
// upserted by their codes (importing the same files again changes nothing), a menu in the
// files replaces that day's menu, and when any line is bad nothing at all is stored.
class DataImporter {
public:
    // `db` must have the current schema.
    DataImporter(QSqlDatabase db, ImportOptions options = {});

    // Checks and stores `tables`; every refusal is in the report with its file:line:column.
    // Throws pla::StorageError when the database fails (then nothing is stored either).
    ImportReport run(const QVector<ImportTable>& tables);

    // Reads CSV files and the CSV files of folders (their kind from the file name); files
    // that cannot be read or whose name names no kind are errors of `report`.
    static QVector<ImportTable> read(const QStringList& paths, ImportReport& report);

private:
    void importRows(ImportContext& context, const ExchangeKind& kind,
                    const QVector<ParsedRow>& rows, ImportCount& count);

    QSqlDatabase db_;
    ImportOptions options_;
};

} // namespace pla
