#pragma once

#include "framework/qt/ControlBinding.h"
#include "framework/qt/DataSetTableModel.h"
#include "framework/qt/GridCellDelegate.h"

#include <QPointer>

class QTableView;
class QMouseEvent;
class TDBGrid;

namespace pla {

// Data grids as a QTableView over the visible records of the grid's data set. Widths (room
// the columns leave at the right goes to the widest one, so long names are not cut), titles,
// grid lines and the row indicator follow the grid's columns and options; the current row is
// kept in view. Clicks on cells, titles and the "..." button are the grid's user actions;
// typing goes to the grid (which edits in place only when its option and the data set's
// guards allow) through the form's key delivery.
class GridBinding : public ControlBinding {
public:
    GridBinding(FormRenderer& renderer, TControl& control, QWidget* parent);
    ~GridBinding() override;

    QTableView* View() const;
    DataSetTableModel* Model() const { return model_.data(); }
    // A mouse press in the grid's cell area, after the focus was handled: a cell click or an
    // edit-button click. True when it was taken.
    bool CellPressed(const QMouseEvent& event);
    // The view changed size: the columns are fitted again.
    void ViewResized();

protected:
    void SyncAppearance() override;
    void SyncItems() override;
    void SyncSelection() override;
    void SyncData() override;

private:
    TDBGrid& Grid() const;
    void SyncWidths();

    // Children of the view: gone with it when Qt deletes the view first.
    QPointer<DataSetTableModel> model_;
    QPointer<GridCellDelegate> delegate_;
};

} // namespace pla
