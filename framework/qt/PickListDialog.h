#pragma once

#include <QDialog>

class QLineEdit;
class QSortFilterProxyModel;
class QTableView;
class TClientDataSet;

namespace pla {

class RecordListModel;

// The lookup pick list: the visible records of a data set over its shown fields, a search
// field that narrows the list as the user types (any shown column containing the text, any
// letter case), OK / Cancelar. Accepting positions the data set on the chosen record.
class PickListDialog : public QDialog {
public:
    PickListDialog(TClientDataSet& dataSet, const QString& title, QWidget* parent = nullptr);

    // The search field and the list (for keyboard use and checks).
    QLineEdit* SearchField() const { return search_; }
    QTableView* List() const { return list_; }
    // The data set's visible row of the list's current entry, or -1.
    int ChosenRow() const;

    // Positions the data set on the chosen record, then closes with Accepted; nothing
    // happens without a chosen record.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Narrow(const QString& text);

    TClientDataSet& ds_;
    RecordListModel* model_;
    QSortFilterProxyModel* proxy_;
    QLineEdit* search_;
    QTableView* list_;
};

} // namespace pla
