#include "framework/qt/DataSetTableModel.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/Field.h"
#include "framework/ui/TDBGrid.h"

namespace pla {

DataSetTableModel::DataSetTableModel(TDBGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
    ReadShape(columns_, rows_);
}

void DataSetTableModel::ReadShape(std::vector<int>& columns, int& rows) const {
    columns.clear();
    for (int c = 0; c < grid_.ColumnCount(); ++c)
        if (grid_.Column(c).Visible()) columns.push_back(c);
    TClientDataSet* ds = grid_.DataSet();
    rows = ds && ds->Active() ? grid_.RowCount() : 0;
}

int DataSetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DataSetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DataSetTableModel::data(const QModelIndex& index, int role) const {
    if ((role != Qt::DisplayRole && role != Qt::AccessibleTextRole) || !index.isValid()) return {};
    const int col = GridColumn(index.column());
    TClientDataSet* ds = grid_.DataSet();
    if (col < 0 || !ds || !ds->Active() || index.row() >= ds->VisibleCount()) return {};
    TField* f = grid_.Column(col).Field();
    if (!f) return {};
    const QString shown = ds->VisibleDisplayText(index.row(), f->Index());
    return role == Qt::DisplayRole ? shown : grid_.Column(col).SpokenText(shown);
}

QVariant DataSetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical && Suspended()) return {};
    if (orientation == Qt::Horizontal) {
        const int col = GridColumn(section);
        return col < 0 ? QVariant() : QVariant(grid_.Column(col).Title());
    }
    return section == grid_.CurrentRow() ? QStringLiteral("▶") : QString();
}

bool DataSetTableModel::Suspended() const {
    TClientDataSet* ds = grid_.DataSet();
    return ds && ds->ControlsDisabled();
}

void DataSetTableModel::Refresh() {
    if (Suspended()) return;
    std::vector<int> columns;
    int rows = 0;
    ReadShape(columns, rows);
    if (columns != columns_ || rows != rows_) {
        beginResetModel();
        columns_ = std::move(columns);
        rows_ = rows;
        endResetModel();
        return;
    }
    if (rows_ > 0 && !columns_.empty())
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, static_cast<int>(columns_.size()) - 1));
    if (rows_ > 0) Q_EMIT headerDataChanged(Qt::Vertical, 0, rows_ - 1);
}

int DataSetTableModel::GridColumn(int viewColumn) const {
    if (viewColumn < 0 || viewColumn >= static_cast<int>(columns_.size())) return -1;
    return columns_[static_cast<size_t>(viewColumn)];
}

int DataSetTableModel::ViewColumn(int gridColumn) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i] == gridColumn) return static_cast<int>(i);
    return -1;
}

} // namespace pla
