#include "report/LabelStock.h"

namespace pla {

QRectF LabelStock::LabelRect(int index) const {
    const int column = index % columns;
    const int row = index / columns;
    return QRectF(QPointF(origin.x() + column * pitch.width(), origin.y() + row * pitch.height()),
                  label);
}

const QVector<LabelStock>& LabelStock::All() {
    // The common A4 sheets of self-adhesive labels (their printed margins and gaps), and a
    // 100 × 60 mm roll for thermal label printers.
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
        {QStringLiteral("ROLO-100x60"),
         QStringLiteral("Rolo, uma etiqueta de 100 × 60 mm"),
         {100, 60},
         1,
         1,
         {100, 60},
         {0, 0},
         {100, 60}},
    };
    return stocks;
}

const LabelStock* LabelStock::Find(const QString& name) {
    for (const LabelStock& s : All())
        if (s.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

} // namespace pla
