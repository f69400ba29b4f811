#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace pla {

// A label stock: a sheet of columns × rows labels, or a roll of one label per page.
// Millimetres throughout.
struct LabelStock {
    QString name;    // what the command line and the screen use ("A4-2x7")
    QString caption; // what the user reads
    QSizeF page;     // paper size
    int columns = 1, rows = 1;
    QSizeF label;   // size of one label
    QPointF origin; // top left corner of the first label
    QSizeF pitch;   // from one label to the next, across and down

    int PerPage() const { return columns * rows; }
    // A roll: one label per page, which a thermal label printer can print in its own language.
    bool IsRoll() const { return PerPage() == 1 && page == label; }
    // The rectangle of the index-th label of a page (row by row).
    QRectF LabelRect(int index) const;

    // The stocks the report supports, the default first.
    static const QVector<LabelStock>& All();
    // The stock of that name (case-insensitive), or nullptr.
    static const LabelStock* Find(const QString& name);
};

} // namespace pla
