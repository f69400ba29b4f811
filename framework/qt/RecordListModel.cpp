#include "framework/qt/RecordListModel.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/Field.h"

namespace pla {

RecordListModel::RecordListModel(TClientDataSet& dataSet, QObject* parent)
    : QAbstractTableModel(parent), ds_(dataSet) {
    for (int i = 0; i < ds_.FieldCount(); ++i)
        if (ds_.Fields(i).Visible) fields_.push_back(i);
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !ds_.Active() ? 0 : ds_.VisibleCount();
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return ds_.VisibleDisplayText(index.row(), FieldIndex(index.column()));
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    const TField& f = ds_.Fields(FieldIndex(section));
    return f.DisplayLabel.isEmpty() ? f.FieldName() : f.DisplayLabel;
}

} // namespace pla
