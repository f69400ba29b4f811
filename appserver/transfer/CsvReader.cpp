#include "appserver/transfer/CsvReader.h"

#include "appserver/rpc/InputAmount.h"
#include "appserver/rpc/InputLimits.h"
#include "appserver/rpc/InputText.h"

#include <QStringDecoder>
#include <algorithm>
#include <optional>
#include <utility>

namespace pla {

namespace {

// Line of the first byte sequence that is not UTF-8, counted from 1.
int firstBadUtf8Line(const QByteArray& bytes) {
    int line = 1;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) end = bytes.size();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        if (decoder.hasError()) return line;
        ++line;
        start = end + 1;
    }
    return 1;
}

// The start of an over-long text as a problem quotes it.
QString start(QStringView text) {
    return QStringLiteral("\"%1\"").arg(
        InputText::quoted(text.left(InputLimits::maxQuoted + 1).toString()));
}

// The first physical line longer than the bound, found on the bytes before anything is decoded.
std::optional<CsvProblem> overlongLine(const QByteArray& bytes) {
    int line = 1;
    for (qsizetype from = 0; from < bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', from);
        if (end < 0) end = bytes.size();
        if (end - from > CsvReader::maxLineBytes) {
            const QString text =
                QString::fromUtf8(bytes.sliced(from, 4 * (InputLimits::maxQuoted + 1)));
            return CsvProblem{line, 1,
                              QStringLiteral("linha com mais de %1 bytes, que começa com %2")
                                  .arg(InputAmount::figure(CsvReader::maxLineBytes), start(text))};
        }
        from = end + 1;
    }
    return std::nullopt;
}

QString overlongField(QStringView text) {
    return QStringLiteral("campo com mais de %1 caracteres, que começa com %2")
        .arg(InputAmount::figure(CsvReader::maxFieldChars), start(text));
}

} // namespace

CsvDocument CsvReader::read(QIODevice& file) {
    QByteArray bytes;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(maxLineBytes + 2);
        bytes += line;
        // Longer than the bound: the part read is enough for read() to report it.
        if (line.size() > maxLineBytes && !line.endsWith('\n')) break;
    }
    return read(bytes);
}

CsvDocument CsvReader::read(const QByteArray& raw) {
    CsvDocument doc;
    QByteArray bytes = raw;
    // One byte-order mark is the file's; the decoder must not take a second one away, which
    // would then be a character of the first field.
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    if (std::optional<CsvProblem> p = overlongLine(bytes)) {
        doc.problems.push_back(std::move(*p));
        return doc;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        doc.problems.push_back(
            {firstBadUtf8Line(bytes), 1, QStringLiteral("o arquivo não está em UTF-8")});
        return doc;
    }
    const qsizetype firstEnd = text.indexOf(QLatin1Char('\n'));
    const QStringView header = QStringView(text).left(firstEnd < 0 ? text.size() : firstEnd);
    if (!header.contains(QLatin1Char(';')) && header.contains(QLatin1Char(',')))
        doc.separator = QLatin1Char(',');
    const QChar sep = doc.separator;

    int line = 1;
    qsizetype lineStart = 0; // index in `text` of the current physical line
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto column = [&](qsizetype at) { return static_cast<int>(at - lineStart) + 1; };
    auto newLine = [&](qsizetype at) { // `at` is the index of the '\n'
        ++line;
        lineStart = at + 1;
    };
    while (i < n) {
        CsvRecord record;
        record.line = line;
        for (;;) { // one field per turn
            CsvField field;
            field.line = line;
            field.column = column(i);
            if (i < n && text[i] == QLatin1Char('"')) {
                ++i;
                bool closed = false;
                // The text is copied a run at a time, up to each quote or line break, rather
                // than character by character: large imports are mostly plain runs.
                qsizetype run = i;
                while (i < n) {
                    const QChar c = text[i];
                    if (c != QLatin1Char('"') && c != QLatin1Char('\n')) {
                        ++i;
                        continue;
                    }
                    field.text += QStringView(text).sliced(run, i - run);
                    // A run never spans a line break, so the line bound keeps each one short
                    // and checking the field here is enough.
                    if (field.text.size() > maxFieldChars) break;
                    if (c == QLatin1Char('"')) {
                        if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                            field.text += c;
                            i += 2;
                            run = i;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    // A CRLF inside quotes is one line break of the field.
                    if (field.text.endsWith(QLatin1Char('\r'))) field.text.chop(1);
                    newLine(i);
                    field.text += c;
                    run = ++i;
                }
                if (field.text.size() > maxFieldChars) {
                    doc.problems.push_back({field.line, field.column, overlongField(field.text)});
                    return doc;
                }
                if (!closed) {
                    doc.problems.push_back(
                        {field.line, field.column, QStringLiteral("aspas sem fechamento")});
                    return doc;
                }
                // Only the separator or the end of the line may follow the closing quote.
                if (i < n && text[i] != sep && text[i] != QLatin1Char('\n') &&
                    !(text[i] == QLatin1Char('\r') &&
                      (i + 1 == n || text[i + 1] == QLatin1Char('\n')))) {
                    doc.problems.push_back({line, column(i),
                                            QStringLiteral("texto depois das aspas que fecham o "
                                                           "campo")});
                    return doc;
                }
            } else {
                const qsizetype start = i;
                while (i < n && text[i] != sep && text[i] != QLatin1Char('\n'))
                    ++i;
                qsizetype end = i;
                if (end > start && text[end - 1] == QLatin1Char('\r')) --end;
                if (end - start > maxFieldChars) {
                    doc.problems.push_back(
                        {field.line, field.column, overlongField(QStringView(text).sliced(start))});
                    return doc;
                }
                field.text = text.mid(start, end - start);
            }
            record.fields.push_back(std::move(field));
            if (i < n && text[i] == sep) {
                ++i;
                continue;
            }
            qsizetype end = i;
            if (end > lineStart && text[end - 1] == QLatin1Char('\r')) --end;
            record.end = column(end);
            if (i < n) { // the '\n' (or "\r\n", whose '\r' was left behind above)
                if (text[i] == QLatin1Char('\r')) ++i;
                if (i < n && text[i] == QLatin1Char('\n')) {
                    newLine(i);
                    ++i;
                }
            }
            break;
        }
        // Spreadsheets write empty rows as a line of separators: they carry nothing.
        const bool blank = std::all_of(record.fields.cbegin(), record.fields.cend(),
                                       [](const CsvField& f) { return f.text.isEmpty(); });
        if (!blank) doc.records.push_back(std::move(record));
    }
    return doc;
}

} // namespace pla
