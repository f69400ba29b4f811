#pragma once

#include <QAbstractTableModel>
#include <vector>

class TDBGrid;

namespace pla {

// The rows a data grid shows: one per visible record of its data set (read without moving the
// cursor), one column per visible grid column, display texts with the fields' formats, the
// column titles as headers, and the current row marked in the row header.
class DataSetTableModel : public QAbstractTableModel {
public:
    explicit DataSetTableModel(TDBGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Re-reads columns and row count (a reset when they changed, else a repaint of all).
    // Does nothing while the data set's display is suspended: the grid keeps what it showed.
    void Refresh();
    // True while the grid's data set has its controls disabled.
    bool Suspended() const;
    // The grid column shown in view column c (-1 when none), and the way back.
    int GridColumn(int viewColumn) const;
    int ViewColumn(int gridColumn) const;

private:
    void ReadShape(std::vector<int>& columns, int& rows) const;

    TDBGrid& grid_;
    std::vector<int> columns_;
    int rows_ = 0;
};

} // namespace pla
