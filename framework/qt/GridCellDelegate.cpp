#include "framework/qt/GridCellDelegate.h"

#include "framework/qt/DataSetTableModel.h"
#include "framework/ui/TDBGrid.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace pla {

GridCellDelegate::GridCellDelegate(TDBGrid& grid, DataSetTableModel& model, QObject* parent)
    : QStyledItemDelegate(parent), grid_(grid), model_(model) {}

QRect GridCellDelegate::EditButtonRect(const QRect& cell) {
    const int w = std::min(cell.height(), 18);
    return QRect(cell.right() - w + 1, cell.top(), w, cell.height());
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const int column = model_.GridColumn(index.column());
    if (column < 0) return;
    painter->save();
    painter->setClipRect(option.rect);
    try {
        grid_.PaintCell(*painter, index.row(), column, option.rect);
    } catch (...) {
        // A failing custom drawing must not take the window down; the default text stays.
    }
    const bool current = index.row() == grid_.CurrentRow() && column == grid_.SelectedIndex();
    if (current && grid_.EditorMode()) {
        painter->setPen(QPen(QColor(0, 0, 0), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    if (current && grid_.HasEditButton()) {
        QStyleOptionButton button;
        button.rect = EditButtonRect(option.rect);
        button.text = QStringLiteral("…");
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        QApplication::style()->drawControl(QStyle::CE_PushButton, &button, painter);
    }
    painter->restore();
}

} // namespace pla
