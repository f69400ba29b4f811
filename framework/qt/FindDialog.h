#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class TClientDataSet;

namespace pla {

// The find dialog of a list: a shown field, the text to find and whether any part of the field
// may match. "Procurar" searches the visible records after the current one (wrapping round)
// and positions the data set on the first match; when nothing matches it says so and stays
// open.
class FindDialog : public QDialog {
public:
    explicit FindDialog(TClientDataSet& dataSet, QWidget* parent = nullptr);

    QComboBox* FieldChoice() const { return field_; }
    QLineEdit* TextField() const { return text_; }
    QCheckBox* AnyPart() const { return anyPart_; }

    // The visible row (0-based) of the next record whose field matches, after the current
    // record and wrapping round; -1 when none does.
    int FindNext() const;

private:
    void Search();

    TClientDataSet& ds_;
    QComboBox* field_;
    QLineEdit* text_;
    QCheckBox* anyPart_;
};

} // namespace pla
