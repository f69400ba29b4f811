#pragma once

#include "framework/data/Event.h"

#include <QString>
#include <functional>
#include <vector>

class TComponent;

// The usual "something happened to Sender" event.
using TNotifyEvent = Event<TComponent&>;

// What changed on a component, for listeners that keep a rendering in step.
enum class TChange {
    Bounds,     // position or size (also after an Align pass)
    Enabled,    // the control's own enabled flag
    Visible,    // the control's own visible flag
    Text,       // caption or edit text
    Appearance, // colour, font, hint, glyph, picture, border, flat ...
    Items,      // combo items, grid columns, menu items
    Selection,  // combo index, check state, grid row/column, edit selection
    Data,       // data shown by a data-aware control (repaint)
    Children,   // a child control was added or removed
    Focus,      // (form) the focused control changed
    Modal,      // (form) shown, hidden, modal result set
    Destroyed,  // the component is being destroyed; drop every pointer to it
};

// Base of every component: a name, an owner that destroys what it owns, lookup by name, and a
// change-listener hook. Not copyable; components live at a fixed address.
class TComponent {
public:
    using ChangeListener = std::function<void(TComponent&, TChange)>;

    // An owned component is destroyed by its owner (in reverse order of creation).
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    QString Name() const { return name_; }
    // Names are unique (case-insensitively) among one owner's components; a clash throws
    // std::invalid_argument.
    void SetName(const QString& name);
    TComponent* Owner() const { return owner_; }

    int ComponentCount() const { return static_cast<int>(owned_.size()); }
    TComponent* Components(int i) const { return owned_.at(static_cast<size_t>(i)); }
    // A directly owned component with that name (case-insensitive), or nullptr.
    TComponent* FindComponent(const QString& name) const;
    // Like FindComponent, but also searches what owned components own, depth first.
    TComponent* FindComponentDeep(const QString& name) const;
    template <class T> T* Find(const QString& name) const {
        return dynamic_cast<T*>(FindComponentDeep(name));
    }

    // Destroys every owned component now (newest first). Forms that keep data sources or
    // data sets as members call it first in their destructor, so that data-aware controls go
    // before the sources they listen to.
    void DestroyComponents();

    // Called with (this, what) after every change a renderer may need to show. Returns an id
    // for RemoveChangeListener. Listeners must not destroy the component.
    int AddChangeListener(ChangeListener listener);
    void RemoveChangeListener(int id);

    int Tag = 0;

protected:
    // Tells every listener; safe against listeners added or removed while notifying.
    void Changed(TChange what);
    // Sends TChange::Destroyed once; derived destructors call it while they are still whole.
    void NotifyDestroying();

private:
    QString name_;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> owned_;
    std::vector<std::pair<int, ChangeListener>> listeners_;
    int nextListenerId_ = 1;
    int notifying_ = 0;
    bool destroyNotified_ = false;
};
