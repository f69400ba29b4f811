#pragma once

#include "framework/ui/FieldLink.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TWinControl.h"

#include <QImage>
#include <QVariant>
#include <memory>
#include <vector>

class QPainter;
class TDataSource;
class TClientDataSet;
class TField;

// Grid options; combine with |.
using TDBGridOptions = unsigned;
constexpr TDBGridOptions dgEditing = 1u << 0; // cells can be typed into
constexpr TDBGridOptions dgAlwaysShowEditor = 1u << 1;
constexpr TDBGridOptions dgTitles = 1u << 2;
constexpr TDBGridOptions dgIndicator = 1u << 3;
constexpr TDBGridOptions dgColumnResize = 1u << 4;
constexpr TDBGridOptions dgColLines = 1u << 5;
constexpr TDBGridOptions dgRowLines = 1u << 6;
constexpr TDBGridOptions dgTabs = 1u << 7; // Tab moves between columns
constexpr TDBGridOptions dgRowSelect = 1u << 8;
constexpr TDBGridOptions dgAlwaysShowSelection = 1u << 9;
constexpr TDBGridOptions dgConfirmDelete = 1u << 10; // Ctrl+Delete asks first
constexpr TDBGridOptions dgCancelOnExit = 1u << 11;
constexpr TDBGridOptions dgDefaultOptions = dgEditing | dgTitles | dgIndicator | dgColumnResize |
                                            dgColLines | dgRowLines | dgTabs | dgConfirmDelete |
                                            dgCancelOnExit;

// State of a cell being drawn; combine with |.
using TGridDrawState = unsigned;
constexpr TGridDrawState gdSelected = 1;
constexpr TGridDrawState gdFocused = 2;
constexpr TGridDrawState gdFixed = 4;

// A grid over a data source: one row per visible record (read without moving the cursor),
// columns bound to fields, a selected column, and an in-place editor. Typed text goes to
// the editor only while the editing option is on and the data set accepts Edit (its guards
// may refuse silently); it reaches the field when the cell is left (another column or row,
// Enter, the focus leaving the grid), before the column-exit event, and when the data set
// posts the record (a refusal then stops the post). Rows are 0-based.
class TDBGrid : public TWinControl {
public:
    explicit TDBGrid(TComponent* owner);
    ~TDBGrid() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    TClientDataSet* DataSet() const { return link_.DataSet(); }

    // --- columns ---
    // Appends a column; a grid without added columns shows every visible field.
    TColumn& AddColumn(const QString& fieldName, int width = 64, const QString& title = {});
    void ClearColumns();
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    TColumn& Column(int i) const { return *columns_.at(static_cast<size_t>(i)); }
    // Index of the column bound to fieldName (any letter case), or -1.
    int ColumnOf(const QString& fieldName) const;
    // Called by columns when one of their settings changed.
    void ColumnChanged(TColumn& column);

    TDBGridOptions Options() const { return options_; }
    void SetOptions(TDBGridOptions o);
    bool HasOption(TDBGridOptions o) const { return (options_ & o) == o; }
    void SetOption(TDBGridOptions o, bool on);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool r);

    // --- selection ---
    int SelectedIndex() const { return selected_; }
    // Selects another column: the pending editor text is written to the field, then
    // OnColExit, then the column changes, then OnColEnter. An exception from any step stops
    // the move; a column exit handler that selects a column itself ends this move.
    void SetSelectedIndex(int index);
    TColumn* SelectedColumn() const;
    TField* SelectedField() const;
    // Visible rows and the current one (-1 when none).
    int RowCount() const;
    int CurrentRow() const;

    // --- in-place editor ---
    bool EditorMode() const { return editorMode_; }
    // The text in the selected cell's editor: what has been typed, or else the field's
    // edit text.
    QString EditorText() const;
    // True when typed text waits to reach the field.
    bool EditorModified() const { return editorModified_; }
    // Whether typing in the selected cell may go to its field now (option, read-only flags,
    // a data field).
    bool CanEditCell() const;
    // Writes typed text to the selected field (EDatabaseError when the field refuses it).
    void UpdateData();
    // True when the selected column shows its "..." button.
    bool HasEditButton() const;
    // F2 or Alt+Down in the focused grid opens the selected cell's "..." button.
    bool FormKey(TWinControl& focused, int key, TShiftState shift) override;

    // --- user actions (each gives the grid the focus first when its form is shown) ---
    // Makes visible row `row` current (pending text written first).
    void UserSelectRow(int row);
    // Selects the column of fieldName; false when there is none.
    bool UserSelectColumn(const QString& fieldName);
    // Click on a cell: row and column selected, then OnCellClick(column).
    void UserClickCell(int row, int column);
    // Double click on a cell: the first click's selection, then OnDblClick. Nothing when the
    // click moved the focus elsewhere (an exit handler refused it).
    void UserDoubleClickCell(int row, int column);
    // Click on a column title: OnTitleClick(column).
    void UserClickTitle(int column);
    // Click on the selected cell's "..." button: OnEditButtonClick. False (nothing happens)
    // when the cell shows no button.
    bool UserClickEditButton();

    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    Event<TColumn&> OnCellClick;
    Event<TColumn&> OnTitleClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEditButtonClick;
    // After the grid drew a cell itself: (grid, cell rectangle, column index, column, state).
    // Canvas() draws on the grid; DrawingRow()/DrawingValue() tell the row being drawn.
    Event<TComponent&, const QRect&, int, TColumn&, TGridDrawState> OnDrawColumnCell;

    // --- drawing ---
    TCanvas& Canvas() { return canvas_; }
    int DefaultRowHeight() const { return rowHeight_; }
    void SetDefaultRowHeight(int h);
    // Rectangle of a data cell (row 0 is the first data row) or, with row -1, of a title.
    QRect CellRect(int row, int column) const;
    // Draws the whole grid into image (sized by the caller; rows beyond it are skipped).
    void PaintTo(QImage& image);
    // Draws one data cell with the default drawing, then OnDrawColumnCell.
    void PaintCell(QPainter& painter, int row, int column, const QRect& rect);
    // Row being drawn by PaintCell/PaintTo, -1 outside a paint.
    int DrawingRow() const { return drawingRow_; }
    // Value of fieldName in the row being drawn (or the current row outside a paint).
    QVariant DrawingValue(const QString& fieldName) const;
    // From a draw handler: replaces the cell's default text with picture, centred across
    // the cell, its olive background left see-through (tick boxes, status lights).
    void DrawCellPicture(const QRect& rect, const QImage& picture);

    bool WantsTab() const override { return HasOption(dgTabs); }
    void DoExit() override;

protected:
    void DefaultKeyDown(int& key, TShiftState shift) override;
    void DefaultKeyPress(QChar& ch) override;

private:
    void DataChanged(TDataChange change, TField* field);
    void RebuildDefaultColumns();
    void CloseEditor();
    void FocusForUser();
    bool AcceptsForField(TField* f, QChar ch) const;
    void MoveRow(int delta);

    pla::FieldLink link_;
    std::vector<std::unique_ptr<TColumn>> columns_;
    bool defaultColumns_ = true;
    TDBGridOptions options_ = dgDefaultOptions;
    bool readOnly_ = false;
    int selected_ = 0;
    bool inColExit_ = false;
    unsigned colSerial_ = 0;
    bool editorMode_ = false;
    bool editorModified_ = false;
    bool editorAllSelected_ = false;
    QString editorText_;
    bool writing_ = false;
    TCanvas canvas_;
    int rowHeight_ = 18;
    int drawingRow_ = -1;
};
