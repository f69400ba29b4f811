#pragma once

#include "framework/ui/TComponent.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <unordered_map>

class QAction;
class QMenu;
class QMenuBar;
class TMainMenu;
class TMenuItem;

namespace pla {

class FormRenderer;

// A form's main menu as a Qt menu bar: captions, enabled and visible flags and shortcuts kept
// in step. The shortcut is shown beside the caption; the key itself reaches the model through
// the form's key delivery (which clicks the item only while it is enabled), so the action
// does not act on it a second time. Choosing an entry is the model's menu click.
class MenuBarBinding {
public:
    MenuBarBinding(FormRenderer& renderer, QMenuBar* bar);
    ~MenuBarBinding();
    MenuBarBinding(const MenuBarBinding&) = delete;
    MenuBarBinding& operator=(const MenuBarBinding&) = delete;

    // Shows menu (or nothing) in the bar, rebuilt from scratch.
    void SetMenu(TMainMenu* menu);
    QMenuBar* Bar() const { return bar_; }
    // The action showing item, or nullptr.
    QAction* ActionFor(const TMenuItem* item) const;

private:
    void Rebuild();
    void AddItems(TMenuItem& parent, QMenu* into);
    void Listen(TComponent& c);
    void Unlisten();
    void Changed(TComponent& c, TChange what);
    void SyncAction(TMenuItem& item);

    FormRenderer& renderer_;
    QPointer<QMenuBar> bar_;
    TMainMenu* menu_ = nullptr;
    std::unordered_map<const TMenuItem*, QPointer<QAction>> actions_;
    std::unordered_map<TComponent*, int> listeners_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    QObject context_; // receiver of the actions' signals; they end with the binding
    bool rebuildQueued_ = false;
};

} // namespace pla
