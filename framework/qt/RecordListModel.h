#pragma once

#include <QAbstractTableModel>
#include <vector>

class TClientDataSet;

namespace pla {

// The visible records of a data set over its shown fields (those marked visible), with the
// display texts and the fields' labels as titles. Reads without moving the cursor.
class RecordListModel : public QAbstractTableModel {
public:
    explicit RecordListModel(TClientDataSet& dataSet, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Index in the data set of the field shown in column c.
    int FieldIndex(int column) const { return fields_.at(static_cast<size_t>(column)); }

private:
    TClientDataSet& ds_;
    std::vector<int> fields_;
};

} // namespace pla
