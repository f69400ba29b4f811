#pragma once

#include "appserver/transfer/CsvWriter.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace pla::bench {

// n written with `width` digits, zeros in front: the codes of generated master data.
inline QString paddedCode(int n, int width) {
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

// Writes the import files of generated data into one folder and counts their data rows.
class CsvFolder {
public:
    explicit CsvFolder(const QDir& dir) : dir_(dir) {}

    // Writes `name` with `header`, then the rows `fill` adds to the writer it is given.
    template <typename Fill> void file(const char* name, const QStringList& header, Fill&& fill) {
        CsvWriter w;
        w.add(header);
        fill(w);
        rows_ += w.count() - 1;
        QFile f(dir_.filePath(QString::fromLatin1(name)));
        f.open(QIODevice::WriteOnly);
        f.write(w.bytes());
    }
    int rows() const { return rows_; }

private:
    QDir dir_;
    int rows_ = 0;
};

} // namespace pla::bench
