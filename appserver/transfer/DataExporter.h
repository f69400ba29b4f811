#pragma once

#include "appserver/transfer/ExchangeFormat.h"

#include <QByteArray>
#include <QDate>
#include <QSqlDatabase>
#include <QVector>

namespace pla {

// Which rows an export writes. The branch limits branches, services, delivery points, menus
// and distributions; the dates limit menus and distributions; every other kind is written whole
// (a branch's files then import on their own elsewhere).
struct ExportFilter {
    QVector<DataKind> kinds; // empty: every kind
    QString branch;          // empty: every branch
    QDate from, to;          // invalid: open
};

struct ExportedFile {
    QString path;
    int rows = 0;
};

// Writes a kitchen's data as the files the import reads (same names, same columns), plus the
// distributions, one row per dish in a packaging. Importing what it writes changes nothing.
class DataExporter {
public:
    explicit DataExporter(QSqlDatabase db);
    // The CSV text of one kind; `rows` receives the number of data rows.
    QByteArray file(DataKind kind, const ExportFilter& filter, int* rows = nullptr);
    // Writes one file per kind of the filter into `folder` (created when missing), replacing
    // files of the same name. Throws std::runtime_error with a Portuguese message.
    QVector<ExportedFile> write(const QString& folder, const ExportFilter& filter);

private:
    QSqlDatabase db_;
};

} // namespace pla
