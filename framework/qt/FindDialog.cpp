#include "framework/qt/FindDialog.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/Field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace pla {

FindDialog::FindDialog(TClientDataSet& dataSet, QWidget* parent) : QDialog(parent), ds_(dataSet) {
    setWindowTitle(QStringLiteral("Procurar"));
    field_ = new QComboBox(this);
    for (int i = 0; i < ds_.FieldCount(); ++i) {
        const TField& f = ds_.Fields(i);
        if (!f.Visible) continue;
        field_->addItem(f.DisplayLabel.isEmpty() ? f.FieldName() : f.DisplayLabel, i);
    }
    text_ = new QLineEdit(this);
    anyPart_ = new QCheckBox(QStringLiteral("Qualquer parte do campo"), this);
    anyPart_->setChecked(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Campo:"), field_);
    form->addRow(QStringLiteral("Procurar:"), text_);
    form->addRow(QString(), anyPart_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Procurar"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Search(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
    text_->setFocus();
}

int FindDialog::FindNext() const {
    const QString wanted = text_->text().trimmed();
    if (wanted.isEmpty() || !ds_.Active() || field_->currentIndex() < 0) return -1;
    const int fieldIndex = field_->currentData().toInt();
    const int count = ds_.VisibleCount();
    const int start = std::max(ds_.RecNo(), 0); // the row after the current one
    for (int i = 0; i < count; ++i) {
        const int row = (start + i) % count;
        const QString text = ds_.VisibleDisplayText(row, fieldIndex).trimmed();
        const bool match = anyPart_->isChecked() ? text.contains(wanted, Qt::CaseInsensitive)
                                                 : text.startsWith(wanted, Qt::CaseInsensitive);
        if (match) return row;
    }
    return -1;
}

void FindDialog::Search() {
    const int row = FindNext();
    if (row < 0) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Procurar"),
                        QStringLiteral("Registro não encontrado."), QMessageBox::NoButton, this);
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return;
    }
    ds_.SetRecNo(row + 1);
    accept();
}

} // namespace pla
