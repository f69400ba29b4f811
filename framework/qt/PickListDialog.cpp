#include "framework/qt/PickListDialog.h"

#include "framework/data/ClientDataSet.h"
#include "framework/qt/RecordListModel.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace pla {

PickListDialog::PickListDialog(TClientDataSet& dataSet, const QString& title, QWidget* parent)
    : QDialog(parent), ds_(dataSet) {
    setWindowTitle(title.isEmpty() ? QStringLiteral("Pesquisa") : title);
    model_ = new RecordListModel(dataSet, this);
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(model_);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    proxy_->setFilterKeyColumn(-1);

    search_ = new QLineEdit(this);
    search_->setPlaceholderText(QStringLiteral("Digite para pesquisar"));
    list_ = new QTableView(this);
    list_->setModel(proxy_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->resizeColumnsToContents();
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Pesquisar:"), this);
    label->setBuddy(search_);
    layout->addWidget(label);
    layout->addWidget(search_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(520, 380);

    connect(search_, &QLineEdit::textChanged, this, [this](const QString& t) { Narrow(t); });
    connect(list_, &QTableView::doubleClicked, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
    search_->installEventFilter(this);

    // Start on the record the data set is on.
    const int current = dataSet.Active() ? dataSet.RecNo() - 1 : -1;
    const QModelIndex start = proxy_->mapFromSource(model_->index(std::max(current, 0), 0));
    if (start.isValid()) list_->selectRow(start.row());
    search_->setFocus();
}

void PickListDialog::Narrow(const QString& text) {
    proxy_->setFilterFixedString(text.trimmed());
    if (proxy_->rowCount() > 0) list_->selectRow(0);
}

int PickListDialog::ChosenRow() const {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid()) return -1;
    return proxy_->mapToSource(current).row();
}

void PickListDialog::accept() {
    const int row = ChosenRow();
    if (row < 0) return;
    ds_.SetRecNo(row + 1);
    QDialog::accept();
}

bool PickListDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        // Arrows and page keys in the search field move through the list.
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(list_, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pla
