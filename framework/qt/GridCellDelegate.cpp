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
    const QPair<int, int> cell(index.row(), index.column());
    if (model_.Suspended()) {
        const QPixmap shown = last_.value(cell);
        if (!shown.isNull() && shown.deviceIndependentSize().toSize() == option.rect.size())
            painter->drawPixmap(option.rect.topLeft(), shown);
        else
            painter->fillRect(option.rect, option.palette.base());
        return;
    }
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap picture(option.rect.size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    {
        QPainter cellPainter(&picture);
        cellPainter.setFont(painter->font());
        PaintLive(&cellPainter, QRect(QPoint(0, 0), option.rect.size()), index.row(), column);
    }
    last_.insert(cell, picture);
    painter->drawPixmap(option.rect.topLeft(), picture);
}

void GridCellDelegate::PaintLive(QPainter* painter, const QRect& rect, int row,
                                 int column) const {
    painter->save();
    painter->setClipRect(rect);
    try {
        grid_.PaintCell(*painter, row, column, rect);
    } catch (...) {
        // A failing custom drawing must not take the window down; the default text stays.
    }
    const bool current = row == grid_.CurrentRow() && column == grid_.SelectedIndex();
    if (current && grid_.EditorMode()) {
        painter->setPen(QPen(QColor(0, 0, 0), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
    } else if (current && grid_.Focused()) {
        // Where the keyboard is: a dotted frame round the selected cell.
        painter->setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(1, 1, -2, -2));
    }
    if (current && grid_.HasEditButton()) {
        QStyleOptionButton button;
        button.rect = EditButtonRect(rect);
        button.text = QStringLiteral("…");
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        QApplication::style()->drawControl(QStyle::CE_PushButton, &button, painter);
    }
    painter->restore();
}

} // namespace pla
