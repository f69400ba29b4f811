#include "framework/qt/GridBinding.h"

#include "framework/qt/DataSetTableModel.h"
#include "framework/qt/FormRenderer.h"
#include "framework/qt/GridCellDelegate.h"
#include "framework/ui/TDBGrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

namespace pla {

namespace {
// A name column is not narrowed below this.
constexpr int kNarrowest = 80;
} // namespace

GridBinding::GridBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, new QTableView(parent)) {
    auto* view = View();
    auto& grid = Grid();
    model_ = new DataSetTableModel(grid, view);
    delegate_ = new GridCellDelegate(grid, *model_, view);
    view->setModel(model_.data());
    view->setItemDelegate(delegate_.data());
    view->setFocusPolicy(Qt::StrongFocus);
    // Selection and editing belong to the grid model; the view only shows them.
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->setWordWrap(false);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setSectionsMovable(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setHighlightSections(false);
    renderer.WatchWidget(view->viewport(), &control);

    QObject::connect(view->horizontalHeader(), &QHeaderView::sectionClicked, &context_,
                     [this](int section) {
                         if (Syncing()) return;
                         const int col = model_->GridColumn(section);
                         if (col < 0) return;
                         TDBGrid& g = Grid();
                         renderer_.RunAction([&g, col] { g.UserClickTitle(col); });
                     });
    QObject::connect(view->horizontalHeader(), &QHeaderView::sectionResized, &context_,
                     [this](int section, int, int size) {
                         if (Syncing()) return;
                         const int col = model_->GridColumn(section);
                         if (col < 0) return;
                         SyncScope scope(*this);
                         Grid().Column(col).SetWidth(size);
                         SyncWidths();
                     });
}

GridBinding::~GridBinding() {
    // The view may live on a moment longer than the grid it shows: it must not read it.
    if (auto* view = View()) {
        view->setModel(nullptr);
        view->setItemDelegate(nullptr);
    }
    delete model_.data();
    delete delegate_.data();
}

QTableView* GridBinding::View() const {
    return static_cast<QTableView*>(widget_.data());
}

TDBGrid& GridBinding::Grid() const {
    return static_cast<TDBGrid&>(control_);
}

bool GridBinding::CellPressed(const QMouseEvent& event) {
    auto* view = View();
    if (!view || event.button() != Qt::LeftButton) return false;
    const QModelIndex index = view->indexAt(event.position().toPoint());
    if (!index.isValid()) return true;
    const int col = model_->GridColumn(index.column());
    if (col < 0) return true;
    TDBGrid& g = Grid();
    const int row = index.row();
    const bool onButton = row == g.CurrentRow() && col == g.SelectedIndex() && g.HasEditButton() &&
                          GridCellDelegate::EditButtonRect(view->visualRect(index))
                              .contains(event.position().toPoint());
    if (onButton)
        renderer_.RunAction([&g] { g.UserClickEditButton(); });
    else if (event.type() == QEvent::MouseButtonDblClick)
        renderer_.RunAction([&g, row, col] { g.UserDoubleClickCell(row, col); });
    else
        renderer_.RunAction([&g, row, col] { g.UserClickCell(row, col); });
    return true;
}

void GridBinding::SyncAppearance() {
    ControlBinding::SyncAppearance();
    auto* view = View();
    const auto& g = Grid();
    QPalette pal = view->palette();
    SetEnabledColor(pal, QPalette::Base, control_.Color());
    view->setPalette(pal);
    view->setShowGrid(g.HasOption(dgColLines) || g.HasOption(dgRowLines));
    view->horizontalHeader()->setVisible(g.HasOption(dgTitles));
    view->horizontalHeader()->setSectionResizeMode(
        g.HasOption(dgColumnResize) ? QHeaderView::Interactive : QHeaderView::Fixed);
    view->verticalHeader()->setVisible(g.HasOption(dgIndicator));
    view->verticalHeader()->setDefaultSectionSize(g.DefaultRowHeight());
    view->verticalHeader()->setMinimumSectionSize(std::min(g.DefaultRowHeight(), 8));
    view->verticalHeader()->setFixedWidth(12);
    view->horizontalHeader()->setFixedHeight(g.DefaultRowHeight() + 2);
    view->viewport()->update();
}

void GridBinding::SyncItems() {
    model_->Refresh();
    SyncWidths();
    SyncSelection();
}

void GridBinding::SyncWidths() {
    auto* view = View();
    const int columns = model_->columnCount();
    const int least = view->horizontalHeader()->minimumSectionSize();
    int total = 0;
    int widest = -1;
    for (int v = 0; v < columns; ++v) {
        const int w = Grid().Column(model_->GridColumn(v)).Width();
        total += std::max(w, least);
        if (widest < 0 || w > Grid().Column(model_->GridColumn(widest)).Width()) widest = v;
    }
    // The room inside the frame, less the row indicator and a vertical scroll bar, known also
    // before the viewport has been laid out.
    int room = view->width() - 2 * view->frameWidth();
    if (!view->verticalHeader()->isHidden()) room -= view->verticalHeader()->width();
    if (view->verticalScrollBar()->isVisible()) room -= view->verticalScrollBar()->width();
    // The widest column (a name) takes the spare room, and gives up room down to a readable
    // width when the list is narrower than its columns, so the numbers stay in sight.
    const int spare = room - total;
    for (int v = 0; v < columns; ++v) {
        const int w = Grid().Column(model_->GridColumn(v)).Width();
        view->setColumnWidth(v, v == widest ? std::max(w + spare, std::min(w, kNarrowest)) : w);
    }
}

void GridBinding::ViewResized() {
    if (!widget_) return;
    SyncScope scope(*this);
    SyncWidths();
}

void GridBinding::SyncSelection() {
    if (model_->Suspended()) return; // nothing moves until the display comes back
    auto* view = View();
    const int row = Grid().CurrentRow();
    const int col = model_->ViewColumn(Grid().SelectedIndex());
    if (row >= 0 && row < model_->rowCount()) view->scrollTo(model_->index(row, std::max(col, 0)));
    view->viewport()->update();
    view->verticalHeader()->viewport()->update();
}

void GridBinding::SyncData() {
    const int columns = model_->columnCount();
    model_->Refresh();
    if (columns != model_->columnCount()) SyncWidths();
    SyncSelection();
}

} // namespace pla
