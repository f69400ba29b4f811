#include "framework/ui/TColumn.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/Field.h"
#include "framework/ui/TDBGrid.h"

TColumn::TColumn(TDBGrid& grid, const QString& fieldName) : grid_(grid), fieldName_(fieldName) {}

int TColumn::Index() const {
    for (int i = 0; i < grid_.ColumnCount(); ++i)
        if (&grid_.Column(i) == this) return i;
    return -1;
}

TField* TColumn::Field() const {
    TClientDataSet* ds = grid_.DataSet();
    return ds && !fieldName_.isEmpty() ? ds->FindField(fieldName_) : nullptr;
}

QString TColumn::Title() const {
    if (!title_.isEmpty()) return title_;
    if (TField* f = Field()) return f->DisplayLabel.isEmpty() ? f->FieldName() : f->DisplayLabel;
    return fieldName_;
}

void TColumn::SetFieldName(const QString& name) {
    fieldName_ = name;
    Changed();
}

void TColumn::SetTitle(const QString& title) {
    title_ = title;
    Changed();
}

void TColumn::SetWidth(int w) {
    width_ = std::max(0, w);
    Changed();
}

void TColumn::SetVisible(bool v) {
    visible_ = v;
    Changed();
}

void TColumn::SetReadOnly(bool r) {
    readOnly_ = r;
    Changed();
}

void TColumn::SetButtonStyle(TColumnButtonStyle s) {
    buttonStyle_ = s;
    Changed();
}

void TColumn::SetColor(const QColor& c) {
    color_ = c;
    Changed();
}

void TColumn::Changed() {
    grid_.ColumnChanged(*this);
}
