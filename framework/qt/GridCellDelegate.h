#pragma once

#include <QStyledItemDelegate>

class TDBGrid;

namespace pla {

class DataSetTableModel;

// Paints every cell of a data grid through the grid's own cell painting (its default drawing
// and then the screen's custom drawing on the grid's canvas), so status lights and tick boxes
// look exactly as the screens draw them. The selected cell shows its editor frame and, when
// its column has one, the "..." button.
class GridCellDelegate : public QStyledItemDelegate {
public:
    GridCellDelegate(TDBGrid& grid, DataSetTableModel& model, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The "..." button's place inside a cell rectangle.
    static QRect EditButtonRect(const QRect& cell);

private:
    TDBGrid& grid_;
    DataSetTableModel& model_;
};

} // namespace pla
