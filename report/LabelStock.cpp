#include "report/LabelStock.h"

namespace pla {

QRectF LabelStock::LabelRect(int index) const {
    const int column = index % columns;
    const int row = index / columns;
    return QRectF(QPointF(origin.x() + column * pitch.width(), origin.y() + row * pitch.height()),
                  label);
}

namespace {

// A roll of one label per page, as thermal label printers take it.
LabelStock Roll(int width, int height) {
    const QSizeF size(width, height);
    return {QStringLiteral("ROLO-%1x%2").arg(width).arg(height),
            QStringLiteral("Rolo, uma etiqueta de %1 × %2 mm").arg(width).arg(height),
            size,
            1,
            1,
            size,
            {0, 0},
            size};
}

} // namespace

const QVector<LabelStock>& LabelStock::All() {
    // The common A4 sheets of self-adhesive labels (their printed margins and gaps), and the
    // rolls of the thermal label printers kitchens use.
    static const QVector<LabelStock> stocks{
        {QStringLiteral("A4-2x7"),
         QStringLiteral("A4, 2 × 7 etiquetas de 99,1 × 38,1 mm"),
         {210, 297},
         2,
         7,
         {99.1, 38.1},
         {4.65, 15.15},
         {101.6, 38.1}},
        {QStringLiteral("A4-3x8"),
         QStringLiteral("A4, 3 × 8 etiquetas de 63,5 × 33,9 mm"),
         {210, 297},
         3,
         8,
         {63.5, 33.9},
         {7.2, 12.9},
         {66.0, 33.9}},
        {QStringLiteral("A4-2x4"),
         QStringLiteral("A4, 2 × 4 etiquetas de 99,1 × 67,7 mm"),
         {210, 297},
         2,
         4,
         {99.1, 67.7},
         {4.65, 13.1},
         {101.6, 67.7}},
        Roll(100, 60),
        Roll(100, 50),
        Roll(60, 40),
    };
    return stocks;
}

const LabelStock* LabelStock::Find(const QString& name) {
    for (const LabelStock& s : All())
        if (s.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

} // namespace pla
