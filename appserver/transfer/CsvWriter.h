#pragma once

#include <QByteArray>
#include <QStringList>

namespace pla {

// Writes CSV the way the reader and the Brazilian spreadsheets read it: UTF-8 with a
// byte-order mark (so a spreadsheet shows the accents), ';' between fields, CRLF line ends,
// quotes only around fields that need them and around texts behind a formula's apostrophe.
class CsvWriter {
public:
    CsvWriter();
    // Appends one record.
    void add(const QStringList& fields);
    // The whole file so far.
    const QByteArray& bytes() const { return bytes_; }
    // Number of records added.
    int count() const { return count_; }

private:
    QByteArray bytes_;
    int count_ = 0;
};

} // namespace pla
