#include "appserver/transfer/CsvWriter.h"

namespace pla {

CsvWriter::CsvWriter() : bytes_("\xEF\xBB\xBF") {}

void CsvWriter::add(const QStringList& fields) {
    QString line;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0) line += QLatin1Char(';');
        const QString& f = fields[i];
        const bool quote = f.contains(QLatin1Char(';')) || f.contains(QLatin1Char('"')) ||
                           f.contains(QLatin1Char('\n')) || f.contains(QLatin1Char('\r')) ||
                           f.startsWith(QLatin1Char(' ')) || f.startsWith(QLatin1Char('\'')) ||
                           f.endsWith(QLatin1Char(' '));
        if (!quote) {
            line += f;
            continue;
        }
        line += QLatin1Char('"');
        line += QString(f).replace(QLatin1Char('"'), QLatin1String("\"\""));
        line += QLatin1Char('"');
    }
    line += QLatin1String("\r\n");
    bytes_ += line.toUtf8();
    ++count_;
}

} // namespace pla
