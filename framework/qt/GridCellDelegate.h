#pragma once

#include <QHash>
#include <QPixmap>
#include <QStyledItemDelegate>

class TDBGrid;

namespace pla {

class DataSetTableModel;

// Paints every cell of a data grid through the grid's own cell painting (its default drawing
// and then the screen's custom drawing on the grid's canvas), so status lights and tick boxes
// look exactly as the screens draw them. The selected cell shows its editor frame and, when
// its column has one, the "..." button. While the data set's display is suspended (its rows
// are being rewritten in code), every cell shows what it showed last.
class GridCellDelegate : public QStyledItemDelegate {
public:
    GridCellDelegate(TDBGrid& grid, DataSetTableModel& model, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The "..." button's place inside a cell rectangle.
    static QRect EditButtonRect(const QRect& cell);

private:
    void PaintLive(QPainter* painter, const QRect& rect, int row, int column) const;

    TDBGrid& grid_;
    DataSetTableModel& model_;
    // The last picture of each cell by (view row, view column), shown while suspended.
    mutable QHash<QPair<int, int>, QPixmap> last_;
};

} // namespace pla
