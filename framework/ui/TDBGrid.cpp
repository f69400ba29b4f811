#include "framework/ui/TDBGrid.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/Field.h"
#include "framework/ui/Colors.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TForm.h"

#include <QPainter>

namespace {
constexpr int kIndicatorWidth = 11;
}

TDBGrid::TDBGrid(TComponent* owner)
    : TWinControl(owner), link_([this](TDataChange c, TField* f) { DataChanged(c, f); }) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
}

TDBGrid::~TDBGrid() {
    NotifyDestroying();
}

// ---------------------------------------------------------------- columns

TColumn& TDBGrid::AddColumn(const QString& fieldName, int width, const QString& title) {
    if (defaultColumns_) {
        columns_.clear();
        defaultColumns_ = false;
    }
    columns_.push_back(std::make_unique<TColumn>(*this, fieldName));
    TColumn& c = *columns_.back();
    c.SetWidth(width);
    if (!title.isEmpty()) c.SetTitle(title);
    Changed(TChange::Items);
    return c;
}

void TDBGrid::ClearColumns() {
    CloseEditor();
    columns_.clear();
    defaultColumns_ = true;
    selected_ = 0;
    RebuildDefaultColumns();
    Changed(TChange::Items);
}

void TDBGrid::RebuildDefaultColumns() {
    if (!defaultColumns_) return;
    TClientDataSet* ds = DataSet();
    columns_.clear();
    if (ds)
        for (int i = 0; i < ds->FieldCount(); ++i) {
            TField& f = ds->Fields(i);
            if (!f.Visible) continue;
            columns_.push_back(std::make_unique<TColumn>(*this, f.FieldName()));
            int chars = f.DisplayWidth > 0 ? f.DisplayWidth : (f.Size() > 0 ? f.Size() : 10);
            columns_.back()->SetWidth(std::clamp(chars * 7 + 4, 24, 300));
        }
    if (selected_ >= ColumnCount()) selected_ = std::max(0, ColumnCount() - 1);
}

int TDBGrid::ColumnOf(const QString& fieldName) const {
    for (int i = 0; i < ColumnCount(); ++i)
        if (Column(i).FieldName().compare(fieldName, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void TDBGrid::ColumnChanged(TColumn&) {
    Changed(TChange::Items);
}

void TDBGrid::SetOptions(TDBGridOptions o) {
    if (options_ == o) return;
    options_ = o;
    if (!(o & dgEditing)) CloseEditor();
    Changed(TChange::Appearance);
}

void TDBGrid::SetOption(TDBGridOptions o, bool on) {
    SetOptions(on ? (options_ | o) : (options_ & ~o));
}

void TDBGrid::SetReadOnly(bool r) {
    readOnly_ = r;
    if (r) CloseEditor();
    Changed(TChange::Appearance);
}

// ---------------------------------------------------------------- selection

TColumn* TDBGrid::SelectedColumn() const {
    return selected_ >= 0 && selected_ < ColumnCount() ? &Column(selected_) : nullptr;
}

TField* TDBGrid::SelectedField() const {
    TColumn* c = SelectedColumn();
    return c ? c->Field() : nullptr;
}

int TDBGrid::RowCount() const {
    TClientDataSet* ds = DataSet();
    return ds && ds->Active() ? ds->VisibleCount() : 0;
}

int TDBGrid::CurrentRow() const {
    TClientDataSet* ds = DataSet();
    return ds && ds->Active() ? ds->CurrentVisibleRow() : -1;
}

void TDBGrid::SetSelectedIndex(int index) {
    if (index < 0 || index >= ColumnCount() || index == selected_) return;
    UpdateData();
    const unsigned serial = ++colSerial_;
    if (!inColExit_) {
        inColExit_ = true;
        try {
            OnColExit(*this);
        } catch (...) {
            inColExit_ = false;
            throw;
        }
        inColExit_ = false;
        if (colSerial_ != serial) return; // the handler chose a column itself
    }
    CloseEditor();
    selected_ = index;
    Changed(TChange::Selection);
    OnColEnter(*this);
}

// ---------------------------------------------------------------- editor

QString TDBGrid::EditorText() const {
    if (editorModified_) return editorText_;
    TField* f = SelectedField();
    TClientDataSet* ds = DataSet();
    return f && ds && ds->Active() && (!ds->IsEmpty() || link_.Editing()) ? f->Text() : QString();
}

bool TDBGrid::CanEditCell() const {
    if (!HasOption(dgEditing) || readOnly_) return false;
    TColumn* c = SelectedColumn();
    if (!c || c->ReadOnly()) return false;
    TField* f = c->Field();
    return f && f->FieldKind() == TFieldKind::Data && link_.Active();
}

bool TDBGrid::HasEditButton() const {
    TColumn* c = SelectedColumn();
    return c && c->ButtonStyle() == TColumnButtonStyle::cbsEllipsis && CanEditCell();
}

void TDBGrid::CloseEditor() {
    bool was = editorMode_ || editorModified_;
    editorMode_ = editorModified_ = editorAllSelected_ = false;
    editorText_.clear();
    if (was) Changed(TChange::Data);
}

void TDBGrid::UpdateData() {
    if (!editorModified_) return;
    TField* f = SelectedField();
    if (!f || !link_.Editing()) {
        CloseEditor();
        return;
    }
    writing_ = true;
    try {
        f->SetText(editorText_);
    } catch (...) {
        writing_ = false;
        throw;
    }
    writing_ = false;
    editorModified_ = false;
    editorAllSelected_ = true;
    Changed(TChange::Data);
}

void TDBGrid::DataChanged(TDataChange change, TField*) {
    if (change == TDataChange::UpdateRecord) {
        if (!writing_) UpdateData(); // the record is being posted: the typed text goes with it
        return;
    }
    if (change == TDataChange::DataSet) RebuildDefaultColumns();
    if (!writing_) {
        TClientDataSet* ds = DataSet();
        bool browsing =
            !ds || ds->State() == TDataSetState::Browse || ds->State() == TDataSetState::Inactive;
        // A record change from elsewhere drops what was typed, as the cell now shows other data.
        if (change == TDataChange::Scroll || change == TDataChange::DataSet ||
            (change == TDataChange::State && browsing))
            editorMode_ = editorModified_ = editorAllSelected_ = false, editorText_.clear();
    }
    Changed(TChange::Data);
}

bool TDBGrid::AcceptsForField(TField* f, QChar ch) const {
    switch (f->DataType()) {
    case TFieldType::Float:
        return ch.isDigit() || ch == QLatin1Char(',') || ch == QLatin1Char('-') ||
               ch == QLatin1Char('+') || ch == QLatin1Char('.');
    case TFieldType::Integer:
        return ch.isDigit() || ch == QLatin1Char('-') || ch == QLatin1Char('+');
    case TFieldType::Date:
        return ch.isDigit() || ch == QLatin1Char('/');
    default:
        return true;
    }
}

// ---------------------------------------------------------------- keys

void TDBGrid::DefaultKeyPress(QChar& ch) {
    const ushort u = ch.unicode();
    if (u == 9) return; // handled as a key going down
    if (u == 13) {
        UpdateData();
        editorMode_ = false;
        Changed(TChange::Data);
        return;
    }
    if (u == 27) {
        if (editorModified_) {
            CloseEditor();
        } else if (link_.Editing()) {
            DataSet()->Cancel();
        }
        return;
    }
    if (u != 8 && u < 32) return;
    if (!CanEditCell()) return;
    TField* f = SelectedField();
    if (u != 8 && !AcceptsForField(f, ch)) return;
    if (!link_.Edit()) return; // the data set's guard may abort here
    f = SelectedField();
    if (!f) return;
    if (!editorMode_ || !editorModified_) {
        if (!editorModified_) editorText_ = f->Text();
        if (!editorMode_) editorAllSelected_ = true;
        editorMode_ = true;
    }
    QString t = editorAllSelected_ ? QString() : editorText_;
    if (u == 8) {
        if (!editorAllSelected_ && !t.isEmpty()) t.chop(1);
    } else {
        if (f->DataType() == TFieldType::String && f->Size() > 0 && t.size() >= f->Size()) return;
        t += ch;
    }
    editorText_ = t;
    editorAllSelected_ = false;
    editorModified_ = true;
    Changed(TChange::Data);
}

void TDBGrid::MoveRow(int delta) {
    TClientDataSet* ds = DataSet();
    if (!ds || !ds->Active() || ds->IsEmpty()) return;
    UpdateData();
    if (delta > 0)
        ds->Next();
    else
        ds->Prior();
}

void TDBGrid::DefaultKeyDown(int& key, TShiftState shift) {
    TClientDataSet* ds = DataSet();
    switch (key) {
    case VK_TAB: {
        if (!HasOption(dgTabs)) return;
        bool back = shift & ssShift;
        int target = selected_ + (back ? -1 : 1);
        if (target >= 0 && target < ColumnCount()) {
            SetSelectedIndex(target);
        } else if (ds && ds->Active()) {
            bool edge = back ? ds->RecNo() <= 1 : ds->RecNo() >= ds->RecordCount();
            if (edge) {
                if (TForm* f = ParentForm()) f->SelectNext(!back);
                return;
            }
            MoveRow(back ? -1 : 1);
            SetSelectedIndex(back ? ColumnCount() - 1 : 0);
        }
        return;
    }
    case VK_LEFT:
        if (!editorModified_ && !HasOption(dgRowSelect)) SetSelectedIndex(selected_ - 1);
        return;
    case VK_RIGHT:
        if (!editorModified_ && !HasOption(dgRowSelect)) SetSelectedIndex(selected_ + 1);
        return;
    case VK_UP:
        MoveRow(-1);
        return;
    case VK_DOWN:
        MoveRow(1);
        return;
    case VK_RETURN:
        if ((shift & ssCtrl) && HasEditButton()) {
            key = 0; // no Enter character: the button took it
            OnEditButtonClick(*this);
        }
        return;
    case VK_DELETE:
        if (shift & ssCtrl) {
            if (readOnly_ || !ds || !ds->Active() || ds->IsEmpty()) return;
            if (HasOption(dgConfirmDelete) &&
                !pla::Dialogs().AskOkCancel(QStringLiteral("Excluir registro?")))
                return;
            CloseEditor();
            ds->Delete();
            return;
        }
        if (!CanEditCell() || !link_.Edit()) return;
        if (!editorModified_) {
            editorMode_ = true;
            editorText_.clear(); // the whole cell text is selected: Delete empties it
            editorModified_ = true;
            editorAllSelected_ = false;
            Changed(TChange::Data);
        }
        return;
    default:
        return;
    }
}

void TDBGrid::DoExit() {
    UpdateData();
    editorMode_ = false;
    TWinControl::DoExit();
}

// ---------------------------------------------------------------- user actions

void TDBGrid::FocusForUser() {
    TForm* f = ParentForm();
    if (f && f->Showing() && !Focused()) SetFocus();
}

void TDBGrid::UserSelectRow(int row) {
    FocusForUser();
    TClientDataSet* ds = DataSet();
    if (!ds || !ds->Active() || row < 0 || row >= RowCount()) return;
    if (row == CurrentRow()) return;
    UpdateData();
    ds->SetRecNo(row + 1);
}

bool TDBGrid::UserSelectColumn(const QString& fieldName) {
    int c = ColumnOf(fieldName);
    if (c < 0) return false;
    FocusForUser();
    SetSelectedIndex(c);
    return true;
}

void TDBGrid::UserClickCell(int row, int column) {
    UserSelectRow(row);
    if (column >= 0 && column < ColumnCount()) SetSelectedIndex(column);
    if (TColumn* c = SelectedColumn(); c && c->Index() == column) OnCellClick(*c);
}

void TDBGrid::UserDoubleClickCell(int row, int column) {
    UserClickCell(row, column);
    const TForm* form = ParentForm();
    if (form && form->Showing() && form->ActiveControl() != this) return;
    OnDblClick(*this);
}

void TDBGrid::UserClickTitle(int column) {
    FocusForUser();
    if (column < 0 || column >= ColumnCount()) return;
    OnTitleClick(Column(column));
}

bool TDBGrid::UserClickEditButton() {
    FocusForUser();
    if (!HasEditButton()) return false;
    OnEditButtonClick(*this);
    return true;
}

// ---------------------------------------------------------------- drawing

void TDBGrid::SetDefaultRowHeight(int h) {
    rowHeight_ = std::max(1, h);
    Changed(TChange::Appearance);
}

QRect TDBGrid::CellRect(int row, int column) const {
    const int line = HasOption(dgColLines) ? 1 : 0;
    const int rowLine = HasOption(dgRowLines) ? 1 : 0;
    int x = HasOption(dgIndicator) ? kIndicatorWidth + line : 0;
    for (int i = 0; i < column && i < ColumnCount(); ++i)
        if (Column(i).Visible()) x += Column(i).Width() + line;
    int titleH = HasOption(dgTitles) ? rowHeight_ + rowLine : 0;
    int w = column >= 0 && column < ColumnCount() ? Column(column).Width() : 0;
    if (row < 0) return QRect(x, 0, w, rowHeight_);
    return QRect(x, titleH + row * (rowHeight_ + rowLine), w, rowHeight_);
}

QVariant TDBGrid::DrawingValue(const QString& fieldName) const {
    TClientDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return {};
    TField* f = ds->FindField(fieldName);
    if (!f) return {};
    int row = drawingRow_ >= 0 ? drawingRow_ : ds->CurrentVisibleRow();
    if (row < 0 || row >= ds->VisibleCount()) return {};
    return ds->VisibleValue(row, f->Index());
}

void TDBGrid::PaintCell(QPainter& painter, int row, int column, const QRect& rect) {
    TClientDataSet* ds = DataSet();
    if (column < 0 || column >= ColumnCount()) return;
    TColumn& col = Column(column);
    TGridDrawState state = 0;
    const bool current = row == CurrentRow();
    if (current && (column == selected_ || HasOption(dgRowSelect))) state |= gdSelected;
    if (current && column == selected_ && Focused()) state |= gdFocused;
    const bool highlight = (state & gdSelected) && (Focused() || HasOption(dgAlwaysShowSelection));

    canvas_.SetPainter(&painter);
    canvas_.Font = Font();
    canvas_.Brush.Color = highlight ? clHighlight : (col.Color().isValid() ? col.Color() : Color());
    if (highlight) canvas_.Font.Color = clHighlightText;
    QString text;
    bool editingHere = current && column == selected_ && editorModified_;
    if (editingHere) {
        text = editorText_;
    } else if (TField* f = col.Field(); f && ds && row >= 0 && row < ds->VisibleCount()) {
        text = ds->VisibleDisplayText(row, f->Index());
    }
    canvas_.TextRect(rect, rect.x() + 2, rect.y() + 2, text);
    drawingRow_ = row;
    try {
        OnDrawColumnCell(*this, rect, column, col, state);
    } catch (...) {
        drawingRow_ = -1;
        canvas_.SetPainter(nullptr);
        throw;
    }
    drawingRow_ = -1;
    canvas_.SetPainter(nullptr);
}

void TDBGrid::PaintTo(QImage& image) {
    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(0, 0), image.size()), Color());
    const int rows = RowCount();
    if (HasOption(dgTitles)) {
        canvas_.SetPainter(&painter);
        canvas_.Font = Font();
        canvas_.Brush.Color = clBtnFace;
        for (int c = 0; c < ColumnCount(); ++c) {
            if (!Column(c).Visible()) continue;
            QRect r = CellRect(-1, c);
            canvas_.TextRect(r, r.x() + 2, r.y() + 2, Column(c).Title());
        }
        canvas_.SetPainter(nullptr);
    }
    for (int row = 0; row < rows; ++row) {
        QRect first = CellRect(row, 0);
        if (first.top() >= image.height()) break;
        for (int c = 0; c < ColumnCount(); ++c)
            if (Column(c).Visible()) PaintCell(painter, row, c, CellRect(row, c));
    }
}

void TDBGrid::DrawCellPicture(const QRect& rect, const QImage& picture) {
    canvas_.FillRect(rect);
    const QRect dest(rect.left() + (rect.width() - picture.width()) / 2, rect.top(),
                     picture.width(), rect.height());
    canvas_.BrushCopy(dest, picture, QRect(0, 0, picture.width(), rect.height()), clOlive);
}

bool TDBGrid::FormKey(TWinControl& focused, int key, TShiftState shift) {
    return &focused == this && OpensList(key, shift) && HasEditButton() && UserClickEditButton();
}
