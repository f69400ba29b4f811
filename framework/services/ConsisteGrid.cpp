// The grid helpers of Consiste, kept apart because only they need the grid control.
#include "framework/data/Field.h"
#include "framework/services/Consiste.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TDBGrid.h"

namespace Consiste {

int IndiceCol(const TDBGrid& grid, const QString& fieldName) {
    return grid.ColumnOf(fieldName);
}

QString GridText(const TDBGrid& grid, const QString& fieldName, bool trimmed) {
    const int index = grid.ColumnOf(fieldName);
    if (index < 0) return {};
    QString text;
    if (index == grid.SelectedIndex()) {
        text = grid.EditorText();
    } else if (TField* f = grid.Column(index).Field()) {
        text = f->Text();
    }
    return trimmed ? text.trimmed() : text;
}

} // namespace Consiste
