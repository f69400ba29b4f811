#pragma once

#include "framework/ui/TComponent.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QFocusFrame;
class QKeyEvent;
class QMenuBar;
class TControl;
class TForm;
class TWinControl;
struct TFont;

namespace pla {

class ControlBinding;
class MenuBarBinding;

// Turns a headless form into Qt widgets and keeps both in step for as long as both live.
//
// Model to widgets: every control gets a native widget (panel, group box, label, edit, combo,
// check box, buttons, grid, image, navigator), placed at the control's bounds (the model's
// alignment pass decides them) and updated on every change the model reports. The form's
// menu becomes a menu bar above the client area.
//
// Widgets to model: user input goes to the model first. Keys pressed in any widget of the
// form are delivered to the model's focused control (its key handlers may swallow them; the
// widget only shows what the model then holds); clicks, combo choices and check toggles run
// the model's user actions; a Qt focus change becomes the model's focus move and the focus
// the model ends on is given back to its widget. Every user action runs through the
// framework's dispatcher (silent aborts end it quietly, failures reach the error box).
class FormRenderer : public QObject {
public:
    // Builds the widgets of form inside a new root widget whose parent is parent.
    explicit FormRenderer(TForm& form, QWidget* parent = nullptr);
    ~FormRenderer() override;

    // The form, or nullptr once the form has been destroyed.
    TForm* Form() const { return form_; }
    // The root widget: menu bar (when the form has a menu) above the client area. Owned by
    // its Qt parent, or by the caller when it had none.
    QWidget* Root() const { return root_; }
    // The widget whose size is the form's client size.
    QWidget* Client() const { return client_; }
    QMenuBar* MenuBar() const;

    // The widget showing control, or nullptr.
    QWidget* WidgetFor(const TControl* control) const;
    // The control a widget (or one of its inner widgets) shows, or nullptr.
    TControl* ControlFor(const QWidget* widget) const;
    ControlBinding* BindingFor(const TControl* control) const;

    // Runs one user action on the model through the dispatcher, then gives the Qt focus to
    // the control the model's focus ended on. False when the action did not run to its end.
    bool RunAction(const std::function<void()>& action);
    // Delivers a key press to the model as a keyboard user would (focused control's key
    // handlers, menu shortcuts, then the typed character). Returns true when the event was
    // taken over by the model (always, except for bare modifier keys).
    bool DeliverKey(const QKeyEvent& event);
    // The user put the Qt focus on control's widget: the model's focus move.
    void UserFocused(TControl& control);
    // Gives the Qt focus to the widget of the model's focused control (if the form is shown).
    void SyncFocus();

    // Resizes the form so that its client area is size (the model re-aligns its controls).
    void ResizeForm(const QSize& size);

    // The QFont for a model font, based on base (family kept when the model's is unknown).
    static QFont QtFont(const TFont& font, const QFont& base);

    // Makes widget (an inner part of a control's widget) report its input to this renderer.
    void WatchWidget(QWidget* widget, TControl* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build(TControl& control, QWidget* parent);
    std::unique_ptr<ControlBinding> MakeBinding(TControl& control, QWidget* parent);
    void Listen(TComponent& component);
    void OnChange(TComponent& component, TChange what);
    void SyncChildren(TWinControl& container);
    void Forget(TComponent* component);
    void FormChanged(TChange what);
    // Rings widget when it has the focus and its style shows none (flat tool buttons, combo
    // boxes on a coloured base); nullptr takes the ring away.
    void RingFocus(QWidget* widget);

    TForm* form_;
    QPointer<QWidget> root_;
    QPointer<QWidget> client_;
    QPointer<QFocusFrame> focusRing_;
    std::unique_ptr<MenuBarBinding> menu_;
    std::unordered_map<const TControl*, std::unique_ptr<ControlBinding>> bindings_;
    std::unordered_map<const QObject*, TControl*> controlOf_;
    std::unordered_map<TComponent*, int> listeners_;
    bool resizing_ = false;
    bool focusing_ = false;
    std::shared_ptr<bool> alive_;
};

} // namespace pla
