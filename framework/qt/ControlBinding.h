#pragma once

#include "framework/ui/TComponent.h"

#include <QPointer>
#include <QWidget>

class QKeyEvent;
class TControl;

namespace pla {

class FormRenderer;

// Keeps one Qt widget in step with one control of the component model. The base handles
// what every control has (bounds, enabled, visible, hint, colour, font); derived bindings add
// their control's texts, items and selection, and forward the widget's user signals to the
// model through the renderer.
class ControlBinding {
public:
    ControlBinding(FormRenderer& renderer, TControl& control, QWidget* widget);
    virtual ~ControlBinding();
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;

    TControl& Control() const { return control_; }
    // The widget; null once Qt destroyed it (with its parent).
    QWidget* Widget() const { return widget_; }
    // The widget children's widgets are placed in (the widget itself unless overridden).
    virtual QWidget* ChildHost() const { return widget_; }

    // Brings the widget in line with the control after a change of that kind.
    void Sync(TChange what);
    // Everything at once (after creation).
    void SyncAll();
    // True while the binding writes to its widget (signals then come from code, not the user).
    bool Syncing() const { return syncing_ > 0; }
    // Whether key is the widget's own (e.g. opening a combo's list) rather than the model's.
    virtual bool WidgetKey(const QKeyEvent& key) const {
        (void)key;
        return false;
    }

protected:
    // Sets role to color for an enabled widget only: a disabled one keeps the style's own
    // disabled look.
    static void SetEnabledColor(QPalette& palette, QPalette::ColorRole role, const QColor& color);

    virtual void SyncBounds();
    virtual void SyncAppearance();
    virtual void SyncText() {}
    virtual void SyncItems() {}
    virtual void SyncSelection() {}
    virtual void SyncData() {}

    FormRenderer& renderer_;
    TControl& control_;
    QPointer<QWidget> widget_;
    // Receiver of the widget's signal connections: they end with the binding, even when the
    // widget outlives it for a moment (its window is deleted later).
    QObject context_;

    // Marks a stretch in which widget signals are caused by code.
    class SyncScope {
    public:
        explicit SyncScope(ControlBinding& b) : b_(b) { ++b_.syncing_; }
        ~SyncScope() { --b_.syncing_; }

    private:
        ControlBinding& b_;
    };

private:
    int syncing_ = 0;
};

} // namespace pla
