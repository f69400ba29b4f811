#include "framework/qt/FormRenderer.h"

#include "framework/qt/ButtonBinding.h"
#include "framework/qt/CheckBoxBinding.h"
#include "framework/qt/ClientArea.h"
#include "framework/qt/ComboBinding.h"
#include "framework/qt/ContainerBinding.h"
#include "framework/qt/EditBinding.h"
#include "framework/qt/GridBinding.h"
#include "framework/qt/ImageBinding.h"
#include "framework/qt/LabelBinding.h"
#include "framework/qt/MenuBarBinding.h"
#include "framework/qt/NavigatorBinding.h"
#include "framework/qt/QtKeys.h"
#include "framework/qt/ScrollBoxBinding.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TCustomEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBNavigator.h"
#include "framework/ui/TDBText.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TImage.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMainMenu.h"
#include "framework/ui/TScrollBox.h"
#include "framework/ui/TSpeedButton.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace pla {

FormRenderer::FormRenderer(TForm& form, QWidget* parent)
    : form_(&form), alive_(std::make_shared<bool>(true)) {
    root_ = new QWidget(parent);
    root_->setWindowTitle(form.Caption());
    auto* layout = new QVBoxLayout(root_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QMenuBar(root_);
    bar->setNativeMenuBar(false);
    layout->addWidget(bar);
    auto* client = new ClientArea(root_);
    client->SetPreferredSize(form.BoundsRect().size());
    client->setAutoFillBackground(true);
    QPalette pal = client->palette();
    pal.setColor(QPalette::Window, form.Color());
    client->setPalette(pal);
    layout->addWidget(client, 1);
    client_ = client;
    menu_ = std::make_unique<MenuBarBinding>(*this, bar);
    menu_->SetMenu(form.Menu());

    root_->installEventFilter(this);
    client_->installEventFilter(this);
    controlOf_[client_] = &form;
    Listen(form);
    for (TControl* child : form.Controls())
        Build(*child, client_);
    root_->resize(root_->sizeHint());
}

FormRenderer::~FormRenderer() {
    *alive_ = false;
    menu_.reset();
    for (auto& [c, id] : listeners_)
        c->RemoveChangeListener(id);
    listeners_.clear();
    bindings_.clear();
}

QMenuBar* FormRenderer::MenuBar() const {
    return menu_ ? menu_->Bar() : nullptr;
}

QWidget* FormRenderer::WidgetFor(const TControl* control) const {
    if (control == form_) return client_;
    auto it = bindings_.find(control);
    return it == bindings_.end() ? nullptr : it->second->Widget();
}

ControlBinding* FormRenderer::BindingFor(const TControl* control) const {
    auto it = bindings_.find(control);
    return it == bindings_.end() ? nullptr : it->second.get();
}

TControl* FormRenderer::ControlFor(const QWidget* widget) const {
    for (const QObject* o = widget; o; o = o->parent()) {
        auto it = controlOf_.find(o);
        if (it != controlOf_.end()) return it->second;
        if (o == root_) break;
    }
    return nullptr;
}

QFont FormRenderer::QtFont(const TFont& font, const QFont& base) {
    QFont f(base);
    if (font.Size > 0) f.setPointSize(font.Size);
    f.setBold(font.Bold);
    return f;
}

std::unique_ptr<ControlBinding> FormRenderer::MakeBinding(TControl& c, QWidget* parent) {
    if (dynamic_cast<TDBGrid*>(&c)) return std::make_unique<GridBinding>(*this, c, parent);
    if (dynamic_cast<TCustomEdit*>(&c)) return std::make_unique<EditBinding>(*this, c, parent);
    if (dynamic_cast<TComboBox*>(&c)) return std::make_unique<ComboBinding>(*this, c, parent);
    if (dynamic_cast<TCheckBox*>(&c)) return std::make_unique<CheckBoxBinding>(*this, c, parent);
    if (dynamic_cast<TButton*>(&c) || dynamic_cast<TSpeedButton*>(&c))
        return std::make_unique<ButtonBinding>(*this, c, parent);
    if (dynamic_cast<TLabel*>(&c) || dynamic_cast<TDBText*>(&c))
        return std::make_unique<LabelBinding>(*this, c, parent);
    if (dynamic_cast<TImage*>(&c)) return std::make_unique<ImageBinding>(*this, c, parent);
    if (dynamic_cast<TDBNavigator*>(&c))
        return std::make_unique<NavigatorBinding>(*this, c, parent);
    if (dynamic_cast<TScrollBox*>(&c)) return std::make_unique<ScrollBoxBinding>(*this, c, parent);
    return std::make_unique<ContainerBinding>(*this, c, parent);
}

void FormRenderer::WatchWidget(QWidget* widget, TControl* control) {
    controlOf_[widget] = control;
    widget->installEventFilter(this);
    QObject::connect(widget, &QObject::destroyed, this,
                     [this](QObject* o) { controlOf_.erase(o); });
}

void FormRenderer::Build(TControl& control, QWidget* parent) {
    auto binding = MakeBinding(control, parent);
    ControlBinding* b = binding.get();
    bindings_[&control] = std::move(binding);
    if (QWidget* w = b->Widget()) WatchWidget(w, &control);
    Listen(control);
    b->SyncAll();
    if (auto* container = dynamic_cast<TWinControl*>(&control))
        for (TControl* child : container->Controls())
            Build(*child, b->ChildHost());
}

void FormRenderer::Listen(TComponent& component) {
    if (listeners_.count(&component)) return;
    std::weak_ptr<bool> alive = alive_;
    listeners_[&component] =
        component.AddChangeListener([this, alive](TComponent& c, TChange what) {
            if (alive.lock()) OnChange(c, what);
        });
}

void FormRenderer::OnChange(TComponent& c, TChange what) {
    if (what == TChange::Destroyed) {
        Forget(&c);
        return;
    }
    if (&c == form_) {
        FormChanged(what);
        return;
    }
    if (what == TChange::Children) {
        if (auto* container = dynamic_cast<TWinControl*>(&c)) SyncChildren(*container);
        return;
    }
    auto it = bindings_.find(static_cast<TControl*>(&c));
    if (it != bindings_.end()) it->second->Sync(what);
}

void FormRenderer::Forget(TComponent* component) {
    listeners_.erase(component);
    if (component == form_) {
        // The form is going: its widgets show nothing any more. The window around them is
        // its host's to close.
        form_ = nullptr;
        menu_.reset();
        bindings_.clear();
        if (client_)
            for (QWidget* w : client_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                delete w;
        return;
    }
    auto it = bindings_.find(static_cast<TControl*>(component));
    if (it == bindings_.end()) return;
    std::unique_ptr<ControlBinding> binding = std::move(it->second);
    bindings_.erase(it);
    delete binding->Widget();
}

void FormRenderer::SyncChildren(TWinControl& container) {
    QWidget* host = nullptr;
    if (&container == form_)
        host = client_;
    else if (ControlBinding* b = BindingFor(&container))
        host = b->ChildHost();
    if (!host) return;
    for (TControl* child : container.Controls()) {
        ControlBinding* b = BindingFor(child);
        if (!b) {
            Build(*child, host);
            continue;
        }
        QWidget* w = b->Widget();
        if (w && w->parentWidget() != host) {
            w->setParent(host);
            b->SyncAll();
        }
    }
}

void FormRenderer::FormChanged(TChange what) {
    switch (what) {
    case TChange::Bounds:
        if (!resizing_ && client_) {
            static_cast<ClientArea*>(client_.data())->SetPreferredSize(form_->BoundsRect().size());
            if (root_) root_->resize(root_->sizeHint());
        }
        break;
    case TChange::Text:
        if (root_) root_->setWindowTitle(form_->Caption());
        break;
    case TChange::Items:
        if (menu_) menu_->SetMenu(form_->Menu());
        break;
    case TChange::Children:
        SyncChildren(*form_);
        break;
    case TChange::Focus:
        SyncFocus();
        break;
    case TChange::Appearance:
        if (client_) {
            QPalette pal = client_->palette();
            pal.setColor(QPalette::Window, form_->Color());
            client_->setPalette(pal);
        }
        break;
    default:
        break;
    }
}

void FormRenderer::ResizeForm(const QSize& size) {
    if (!form_ || size == form_->BoundsRect().size()) return;
    resizing_ = true;
    form_->SetBounds(form_->Left(), form_->Top(), size.width(), size.height());
    resizing_ = false;
}

bool FormRenderer::RunAction(const std::function<void()>& action) {
    std::weak_ptr<bool> alive = alive_;
    bool ok = false;
    try {
        ok = Dispatch(action);
    } catch (const std::exception& e) {
        // Only reached when no error handler is installed: still tell the user.
        if (HasDialogs()) Dialogs().ShowError(QString::fromUtf8(e.what()));
    }
    if (alive.lock()) SyncFocus();
    return ok;
}

void FormRenderer::RingFocus(QWidget* widget) {
    const bool unmarked = qobject_cast<QToolButton*>(widget) || qobject_cast<QComboBox*>(widget);
    if (!unmarked) widget = nullptr;
    if (!focusRing_ && widget) {
        focusRing_ = new QFocusFrame(root_);
        QPalette pal = focusRing_->palette();
        pal.setColor(QPalette::WindowText, pal.color(QPalette::Highlight));
        focusRing_->setPalette(pal);
    }
    if (focusRing_) focusRing_->setWidget(widget);
}

void FormRenderer::SyncFocus() {
    if (!form_ || !form_->Showing()) return;
    TWinControl* active = form_->ActiveControl();
    QWidget* w = active ? WidgetFor(active) : nullptr;
    if (!w || w->hasFocus() || !w->isEnabled()) return;
    focusing_ = true;
    w->setFocus(Qt::OtherFocusReason);
    focusing_ = false;
}

void FormRenderer::UserFocused(TControl& control) {
    auto* target = dynamic_cast<TWinControl*>(&control);
    if (!form_ || !target || form_->ActiveControl() == target) return;
    TForm* form = form_;
    RunAction([form, target] {
        if (target->CanFocus()) form->FocusControl(target);
    });
}

bool FormRenderer::DeliverKey(const QKeyEvent& event) {
    if (!form_ || QtKeys::IsModifierOnly(event.key())) return false;
    TShiftState shift = QtKeys::ShiftState(event.modifiers());
    int vk = QtKeys::VirtualKey(event.key());
    if (event.key() == Qt::Key_Backtab) shift |= ssShift;
    const QChar typed = QtKeys::TypedChar(event);
    if (vk == 0 && typed.isNull()) return true;
    TForm* form = form_;
    RunAction([form, vk, shift, typed] {
        TWinControl* c = form->ActiveControl();
        if (c && (!form->Showing() || !c->IsEnabledInTree())) c = nullptr;
        int k = vk;
        if (k != 0 && form->DeliverCommandKey(k, shift)) return;
        auto* edit = dynamic_cast<TCustomEdit*>(c);
        if (edit && k == 'V' && shift == ssCtrl) {
            // Pasting is typing: every character passes the edit's rules.
            for (QChar ch : QApplication::clipboard()->text()) {
                if (form->ActiveControl() != c) break;
                if (ch.isPrint()) c->KeyPress(ch);
            }
            return;
        }
        if (edit && k == 'C' && shift == ssCtrl) {
            if (!edit->SelText().isEmpty()) QApplication::clipboard()->setText(edit->SelText());
            return;
        }
        QChar ch = (k == vk && !typed.isNull()) ? typed : TForm::CharForKey(k, shift);
        if (!ch.isNull() && c && form->ActiveControl() == c) c->KeyPress(ch);
    });
    return true;
}

bool FormRenderer::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const ControlBinding* binding = BindingFor(ControlFor(qobject_cast<QWidget*>(watched)));
        if (binding && binding->WidgetKey(*key)) return false;
        return DeliverKey(*key);
    }
    case QEvent::KeyRelease:
        return !QtKeys::IsModifierOnly(static_cast<QKeyEvent*>(event)->key());
    case QEvent::ShortcutOverride: {
        // Keys typed into the form are the form's: its own menu shortcuts and plain typing
        // win over window-wide shortcuts of the host.
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        // Ctrl+Tab leaves a grid for the next control (the MDI area must not take it).
        const bool ctrlTab = (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
                             (key->modifiers() & Qt::ControlModifier);
        bool mine = plain || ctrlTab;
        if (!mine && form_ && form_->Menu()) {
            const int vk = QtKeys::VirtualKey(key->key());
            mine = vk != 0 &&
                   form_->Menu()->Items().FindShortCut(vk, QtKeys::ShiftState(key->modifiers()));
        }
        if (mine) event->accept();
        return false;
    }
    case QEvent::InputMethod: {
        auto* im = static_cast<QInputMethodEvent*>(event);
        const QString text = im->commitString();
        if (form_ && !text.isEmpty()) {
            TForm* form = form_;
            RunAction([form, text] {
                for (QChar ch : text)
                    form->DeliverChar(ch);
            });
        }
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        TControl* control = widget ? ControlFor(widget) : nullptr;
        if (!control || control == form_) return false;
        if (mouse->button() == Qt::MiddleButton) return true; // no selection paste
        std::weak_ptr<bool> alive = alive_;
        auto* target = dynamic_cast<TWinControl*>(control);
        // The press may land on an inner part (a memo's or a grid's viewport, which never
        // take the focus themselves): what counts is the control's own widget.
        const QWidget* own = WidgetFor(control);
        const bool focusable =
            target && target->TabStop() && own && (own->focusPolicy() & Qt::ClickFocus);
        if (focusable && form_ && form_->ActiveControl() != target) {
            UserFocused(*target);
            if (!alive.lock()) return true;
            // A refused focus move swallows the click too.
            if (!form_ || form_->ActiveControl() != target) return true;
            // Entering an edit selected its text so that typing replaces it; the press must
            // not put the caret back in the middle of it.
            auto* edit = dynamic_cast<TCustomEdit*>(target);
            if (edit && edit->AutoSelect() && edit->SelLength() > 0 &&
                mouse->button() == Qt::LeftButton)
                return true;
        }
        if (auto* grid = dynamic_cast<GridBinding*>(BindingFor(control))) {
            if (grid->View() && watched == grid->View()->viewport())
                return grid->CellPressed(*mouse);
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
    case QEvent::FocusOut:
        if (focusRing_ && focusRing_->widget() == watched) RingFocus(nullptr);
        return false;
    case QEvent::FocusIn: {
        RingFocus(qobject_cast<QWidget*>(watched));
        if (focusing_) return false;
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::MouseFocusReason) {
            // Qt moved the focus by itself (a window came back, a popup closed): the model's
            // focus is the one that counts.
            std::weak_ptr<bool> alive = alive_;
            QTimer::singleShot(0, this, [this, alive] {
                if (alive.lock()) SyncFocus();
            });
        }
        return false;
    }
    case QEvent::Resize:
        if (watched == client_) {
            ResizeForm(static_cast<QResizeEvent*>(event)->size());
        } else if (auto* widget = qobject_cast<QWidget*>(watched)) {
            auto* grid = dynamic_cast<GridBinding*>(BindingFor(ControlFor(widget)));
            QTableView* view = grid ? grid->View() : nullptr;
            if (view && (watched == view || watched == view->viewport())) grid->ViewResized();
        }
        return false;
    default:
        return false;
    }
}

} // namespace pla
