#pragma once

#include "appserver/transfer/CsvReader.h"
#include "appserver/transfer/ExchangeFormat.h"

#include <QString>
#include <QVector>

namespace pla {

// The rows of one file (or of the demo data) to import, as the CSV reader gave them; the header
// is the first record.
struct ImportTable {
    const ExchangeKind* kind = nullptr;
    QString file; // the name every message starts with
    CsvDocument document;
};

// One reason an import refuses a line, or one thing it reports about a menu.
struct ImportIssue {
    QString file;
    int line = 0;
    int column = 0; // 0 when the whole line is meant
    QString reason;
    // "file:line:column: reason" (without the column or line when they are 0).
    QString text() const;
};

// What an import did with the rows of one kind.
struct ImportCount {
    QString kind;      // file name stem
    int rows = 0;      // lines read
    int inserted = 0;  // new rows (menus: new menus)
    int updated = 0;   // rows that differed and were replaced
    int unchanged = 0; // rows already stored as they are
    int kept = 0;      // menus left alone because they are distributed
};

struct ImportOptions {
    bool dryRun = false;             // check everything, store nothing
    bool replaceDistributed = false; // replace menus that already have distributions
};

struct ImportReport {
    QVector<ImportIssue> errors;  // any error: nothing was stored
    QVector<ImportIssue> notices; // menus kept or replaced under a distribution, skipped files
    QVector<ImportCount> counts;
    bool stored = false; // the transaction was committed
    int keptMenus() const;
};

} // namespace pla
