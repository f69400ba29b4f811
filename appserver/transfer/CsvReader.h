#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QVector>

namespace pla {

// One field of a CSV record with where it starts in the file (1-based physical line and
// character column), so every refusal can point at it.
struct CsvField {
    QString text;
    int line = 0;
    int column = 0;
};

// One record; `line` is the physical line it starts on, `end` the column just after its last
// character (where a missing field is reported).
struct CsvRecord {
    int line = 0;
    int end = 0;
    QVector<CsvField> fields;
};

// What the reader could not read, with its place.
struct CsvProblem {
    int line = 0;
    int column = 0;
    QString reason;
};

struct CsvDocument {
    QChar separator = QLatin1Char(';');
    QVector<CsvRecord> records;   // the header first; blank lines are skipped
    QVector<CsvProblem> problems; // empty when the whole file was read
};

// Reads the CSV files that spreadsheets write: UTF-8 with or without a byte-order mark, ';' as
// separator (',' when the header line has no ';' but has ','), CRLF or LF line ends, fields in
// double quotes may hold the separator, line breaks and doubled quotes ("").
//
// Fields and lines are bounded far above anything a kitchen writes (the longest column holds 250
// characters, the widest file two dozen columns): reading stops at the first field or physical
// line over its bound, with a problem that quotes its start, so a damaged or hostile file is
// refused at once instead of being copied around whole.
class CsvReader {
public:
    static constexpr int maxFieldChars = 4000;
    static constexpr int maxLineBytes = 65536;

    static CsvDocument read(const QByteArray& bytes);
    // Reads a file line by line and stops at the first line over the bound, so a huge one is
    // never read whole.
    static CsvDocument read(QIODevice& file);
};

} // namespace pla
