#include "framework/qt/MenuBarBinding.h"

#include <algorithm>

#include "framework/qt/FormRenderer.h"
#include "framework/ui/TMainMenu.h"
#include "framework/ui/TMenuItem.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace pla {

MenuBarBinding::MenuBarBinding(FormRenderer& renderer, QMenuBar* bar)
    : renderer_(renderer), bar_(bar) {}

MenuBarBinding::~MenuBarBinding() {
    *alive_ = false;
    Unlisten();
}

void MenuBarBinding::SetMenu(TMainMenu* menu) {
    Unlisten();
    menu_ = menu;
    if (menu_) Listen(*menu_);
    Rebuild();
}

QAction* MenuBarBinding::ActionFor(const TMenuItem* item) const {
    auto it = actions_.find(item);
    return it == actions_.end() ? nullptr : it->second.data();
}

void MenuBarBinding::Listen(TComponent& c) {
    if (listeners_.count(&c)) return;
    std::weak_ptr<bool> alive = alive_;
    listeners_[&c] = c.AddChangeListener([this, alive](TComponent& who, TChange what) {
        if (alive.lock()) Changed(who, what);
    });
}

void MenuBarBinding::Unlisten() {
    for (auto& [c, id] : listeners_)
        c->RemoveChangeListener(id);
    listeners_.clear();
}

void MenuBarBinding::Changed(TComponent& c, TChange what) {
    if (what == TChange::Destroyed) {
        listeners_.erase(&c);
        if (&c == menu_) menu_ = nullptr;
        // The component is being destroyed and may not be a menu item (the menu itself):
        // find it by address, without casting what is no longer whole.
        auto it = std::find_if(actions_.begin(), actions_.end(), [&c](const auto& entry) {
            return static_cast<const TComponent*>(entry.first) == &c;
        });
        if (it != actions_.end()) {
            // The action belongs to its Qt menu; it is only taken out of sight here.
            if (it->second) it->second->setVisible(false);
            actions_.erase(it);
        }
        return;
    }
    if (what == TChange::Items) {
        // Items arrive one by one while a screen builds its menu; one rebuild serves them all.
        if (rebuildQueued_) return;
        rebuildQueued_ = true;
        std::weak_ptr<bool> alive = alive_;
        QTimer::singleShot(0, &context_, [this, alive] {
            if (!alive.lock()) return;
            rebuildQueued_ = false;
            Rebuild();
        });
        return;
    }
    if (auto* item = dynamic_cast<TMenuItem*>(&c)) SyncAction(*item);
}

void MenuBarBinding::Rebuild() {
    if (!bar_) return;
    bar_->clear();
    actions_.clear();
    if (!menu_) {
        bar_->hide();
        return;
    }
    AddItems(menu_->Items(), nullptr);
    bar_->setVisible(!menu_->Items().Items().empty());
}

void MenuBarBinding::AddItems(TMenuItem& parent, QMenu* into) {
    for (TMenuItem* item : parent.Items()) {
        Listen(*item);
        QAction* action = nullptr;
        if (!item->Items().empty()) {
            QMenu* sub = into ? into->addMenu(item->Caption()) : bar_->addMenu(item->Caption());
            action = sub->menuAction();
            AddItems(*item, sub);
        } else if (item->Caption() == QLatin1String("-")) {
            action = into ? into->addSeparator() : bar_->addSeparator();
        } else {
            action = into ? into->addAction(item->Caption()) : bar_->addAction(item->Caption());
            QObject::connect(action, &QAction::triggered, &context_,
                             [this, item] { renderer_.RunAction([item] { item->Click(); }); });
        }
        actions_[item] = action;
        SyncAction(*item);
    }
}

void MenuBarBinding::SyncAction(TMenuItem& item) {
    QAction* action = ActionFor(&item);
    if (!action) return;
    if (action->text() != item.Caption() && !action->isSeparator()) action->setText(item.Caption());
    action->setEnabled(item.Enabled());
    action->setVisible(item.Visible());
    // Shown only: a key press reaches the model through the form, never through the action.
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setShortcut(item.ShortCut().IsEmpty() ? QKeySequence()
                                                  : item.ShortCut().ToKeySequence());
}

} // namespace pla
