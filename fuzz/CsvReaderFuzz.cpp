// CSV files of an import: the reader never throws, places every field and every problem on a
// real line and column, and a file it read whole reads back the same after being written out
// (line breaks inside fields taken as '\n').
#include "appserver/transfer/CsvReader.h"
#include "appserver/transfer/CsvWriter.h"
#include "fuzz/FuzzCheck.h"

#include <QRegularExpression>
#include <cstddef>
#include <cstdint>

using pla::fuzz::require;

namespace {

// Records that carry data: a record of one empty field is a blank line, which the reader skips
// and the writer would write as one.
QVector<QStringList> texts(const pla::CsvDocument& doc) {
    static const QRegularExpression crBeforeBreak(QStringLiteral("\r+\n"));
    QVector<QStringList> out;
    for (const pla::CsvRecord& r : doc.records) {
        QStringList fields;
        // A line break inside a field is one '\n' whichever way it was written, so a text
        // that held "\r\n" (or "\r\r\n") comes back with fewer '\r': the comparison drops every
        // '\r' before a '\n'.
        for (const pla::CsvField& f : r.fields)
            fields << (f.text.contains(QLatin1Char('\r'))
                           ? QString(f.text).replace(crBeforeBreak, QStringLiteral("\n"))
                           : f.text);
        if (fields.size() == 1 && fields.front().isEmpty()) continue;
        out << fields;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    pla::CsvDocument doc;
    try {
        doc = pla::CsvReader::read(bytes);
    } catch (...) {
        pla::fuzz::breach("the reader reports problems, it never throws");
    }
    int lastLine = 0;
    for (const pla::CsvRecord& r : doc.records) {
        require(r.line >= 1 && r.line >= lastLine, "records come in file order on real lines");
        lastLine = r.line;
        for (const pla::CsvField& f : r.fields)
            require(f.line >= r.line && f.column >= 1, "every field has its place");
    }
    for (const pla::CsvProblem& p : doc.problems)
        require(p.line >= 1 && p.column >= 1 && !p.reason.isEmpty(),
                "every problem has its place and a reason", p.reason);

    // The header's first line decides the separator, so the way back is compared only for
    // headers that are column names: two or more, none broken over lines (with one column, a
    // ',' inside it would be taken for the separator on the way back).
    if (!doc.problems.isEmpty() || doc.records.isEmpty()) return 0;
    const QVector<pla::CsvField>& header = doc.records.front().fields;
    if (header.size() < 2) return 0;
    for (const pla::CsvField& f : header)
        if (f.text.contains(QLatin1Char('\n')) || f.text.contains(QLatin1Char('\r'))) return 0;
    pla::CsvWriter writer;
    for (const QStringList& fields : texts(doc))
        writer.add(fields);
    const pla::CsvDocument again = pla::CsvReader::read(writer.bytes());
    require(again.problems.isEmpty(), "what the writer writes reads without problems");
    const auto show = [](const QVector<QStringList>& records) {
        QStringList lines;
        for (const QStringList& r : records)
            lines << r.join(QStringLiteral("|"));
        return lines.join(QStringLiteral(" / "));
    };
    require(texts(again) == texts(doc), "a file read whole reads back the same after writing",
            show(texts(doc)).toUtf8().toPercentEncoding(" /|") +
                " != " + show(texts(again)).toUtf8().toPercentEncoding(" /|"));
    return 0;
}
