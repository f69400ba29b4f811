#include "framework/qt/QtFormHost.h"

#include "framework/qt/FormRenderer.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace pla {

struct QtFormHost::Entry {
    TForm* form = nullptr;
    std::unique_ptr<FormRenderer> renderer;
    QPointer<QWidget> window;    // the top-level or MDI window holding the renderer's root
    QPointer<QMdiSubWindow> sub; // set for MDI children
    QPointer<QDialog> dialog;    // set while the form runs modally
    bool modalWindow = false;
    int listener = 0;
};

QtFormHost::QtFormHost(QMdiArea* mdiArea) : mdi_(mdiArea), alive_(std::make_shared<bool>(true)) {}

QtFormHost::~QtFormHost() {
    *alive_ = false;
    if (installed_) SetFormHost(nullptr);
    for (auto& [form, entry] : entries_) {
        if (entry->form) entry->form->RemoveChangeListener(entry->listener);
        entry->renderer.reset();
        delete entry->window.data();
    }
}

void QtFormHost::Install() {
    SetFormHost(this);
    installed_ = true;
}

QtFormHost::Entry& QtFormHost::EntryFor(TForm& form) {
    auto it = entries_.find(&form);
    if (it != entries_.end()) return *it->second;
    auto entry = std::make_unique<Entry>();
    entry->form = &form;
    std::weak_ptr<bool> alive = alive_;
    entry->listener = form.AddChangeListener([this, alive](TComponent& c, TChange what) {
        if (alive.lock()) FormChanged(c, static_cast<int>(what));
    });
    Entry& ref = *entry;
    entries_[&form] = std::move(entry);
    return ref;
}

void QtFormHost::MakeWindow(Entry& entry, bool modal) {
    TForm& form = *entry.form;
    if (entry.window && entry.modalWindow == modal) return;
    // A form that changes between modal and modeless use gets a new window.
    entry.renderer.reset();
    delete entry.window.data();

    QWidget* window = nullptr;
    if (modal) {
        auto* dialog = new QDialog(QApplication::activeWindow());
        dialog->setModal(true);
        window = dialog;
        entry.dialog = dialog;
    } else if (form.FormStyle() == TFormStyle::fsMDIChild && mdi_) {
        window = new QWidget;
    } else {
        window = new QWidget(nullptr, Qt::Window);
    }
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    entry.renderer = std::make_unique<FormRenderer>(form, window);
    layout->addWidget(entry.renderer->Root());
    window->setWindowTitle(form.Caption());
    QObject::connect(entry.renderer->Root(), &QWidget::windowTitleChanged, window,
                     [window](const QString& t) { window->setWindowTitle(t); });
    window->resize(entry.renderer->Root()->sizeHint());

    if (!modal && form.FormStyle() == TFormStyle::fsMDIChild && mdi_) {
        QMdiSubWindow* sub = mdi_->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->resize(sub->sizeHint());
        // The form's own position, kept inside the area so the window is never out of reach.
        const QSize area = mdi_->viewport()->size();
        const int left = std::clamp(form.Left(), 0, std::max(0, area.width() - sub->width()));
        const int top = std::clamp(form.Top(), 0, std::max(0, area.height() - sub->height()));
        sub->move(left, top);
        QObject::connect(window, &QWidget::windowTitleChanged, sub,
                         [sub](const QString& t) { sub->setWindowTitle(t); });
        sub->installEventFilter(this);
        entry.sub = sub;
        entry.window = sub;
    } else {
        window->installEventFilter(this);
        entry.window = window;
    }
    entry.modalWindow = modal;
}

void QtFormHost::Show(TForm& form) {
    Entry& entry = EntryFor(form);
    MakeWindow(entry, false);
    if (entry.sub) {
        // The screen fills the work area; the window's own buttons give it back its size.
        entry.sub->showMaximized();
        entry.sub->widget()->show();
        mdi_->setActiveSubWindow(entry.sub);
        // The MDI area watches the whole application for Ctrl+Tab to switch windows; the
        // screens give that key to their grids (leave the grid). Installing again puts this
        // host's watch ahead of the area's, whenever the area installed its own.
        qApp->installEventFilter(this);
    } else {
        entry.window->show();
        entry.window->raise();
        entry.window->activateWindow();
    }
    entry.renderer->SyncFocus();
}

int QtFormHost::RunModal(TForm& form) {
    Entry& entry = EntryFor(form);
    MakeWindow(entry, true);
    QPointer<QDialog> dialog = entry.dialog;
    std::weak_ptr<bool> alive = alive_;
    if (form.ModalResult() == mrNone) {
        // Centred on the screen in use (the active MDI child), so it opens over the work
        // area and never over another window's tool bar.
        if (QMdiSubWindow* over = mdi_ ? mdi_->activeSubWindow() : nullptr) {
            const QRect target(over->mapToGlobal(QPoint(0, 0)), over->size());
            QRect placed(QPoint(0, 0), dialog->size());
            placed.moveCenter(target.center());
            dialog->move(placed.topLeft());
        }
        dialog->show();
        entry.renderer->SyncFocus();
        dialog->exec();
    }
    if (!alive.lock()) return mrCancel;
    if (dialog) dialog->hide();
    return form.ModalResult() != mrNone ? form.ModalResult() : mrCancel;
}

void QtFormHost::Close(TForm& form) {
    auto it = entries_.find(&form);
    if (it == entries_.end() || !it->second->window) return;
    Entry& entry = *it->second;
    if (entry.dialog && entry.dialog->isVisible()) entry.dialog->done(QDialog::Rejected);
    entry.window->hide();
}

bool QtFormHost::ConfirmQuit() {
    std::vector<TForm*> pending;
    for (const auto& [form, entry] : entries_)
        if (entry->form && entry->form->PendingChange()) pending.push_back(entry->form);
    for (TForm* form : pending) {
        const QString text = QStringLiteral("Existem alterações não confirmadas na %1. Deseja "
                                            "sair assim mesmo?")
                                 .arg(form->Caption());
        if (Dialogs().MessageBox(text, MsgDlgType::Confirmation, mbYesNo | mbDefaultNo) != mrYes)
            return false;
    }
    return true;
}

void QtFormHost::DestroyForms() {
    std::vector<TForm*> ownerless;
    for (const auto& [form, entry] : entries_)
        if (entry->form && !entry->form->Owner()) ownerless.push_back(entry->form);
    // Each destruction removes its own entry (and may destroy forms it owns).
    for (TForm* form : ownerless)
        if (entries_.count(form)) delete form;
}

FormRenderer* QtFormHost::RendererFor(const TForm& form) const {
    auto it = entries_.find(&form);
    return it == entries_.end() ? nullptr : it->second->renderer.get();
}

QWidget* QtFormHost::WindowFor(const TForm& form) const {
    auto it = entries_.find(&form);
    return it == entries_.end() ? nullptr : it->second->window.data();
}

void QtFormHost::FormChanged(TComponent& c, int what) {
    auto it = entries_.find(static_cast<TForm*>(&c));
    if (it == entries_.end()) return;
    Entry& entry = *it->second;
    if (static_cast<TChange>(what) == TChange::Destroyed) {
        std::unique_ptr<Entry> gone = std::move(it->second);
        entries_.erase(it);
        gone->form = nullptr;
        gone->renderer.reset();
        if (gone->dialog && gone->dialog->isVisible()) gone->dialog->done(QDialog::Rejected);
        if (gone->window) gone->window->deleteLater();
        return;
    }
    if (static_cast<TChange>(what) == TChange::Modal && entry.dialog && entry.form &&
        entry.form->ModalResult() != mrNone && entry.dialog->isVisible())
        entry.dialog->done(entry.form->ModalResult());
}

TForm* QtFormHost::ActiveMdiForm() const {
    return mdi_ ? FormOfWindow(mdi_->activeSubWindow()) : nullptr;
}

TForm* QtFormHost::FormOfWindow(QObject* window) const {
    for (const auto& [form, entry] : entries_)
        if (entry->window == window) return entry->form;
    return nullptr;
}

bool QtFormHost::TakeCtrlTab(QObject* watched, QEvent* event) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) ||
        !(key->modifiers() & Qt::ControlModifier))
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    for (const auto& [form, entry] : entries_) {
        FormRenderer* renderer = entry->renderer.get();
        if (!renderer || !renderer->Root() || !renderer->Root()->isAncestorOf(widget)) continue;
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        else
            renderer->DeliverKey(*key);
        return true;
    }
    return false;
}

bool QtFormHost::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
        return TakeCtrlTab(watched, event);
    if (event->type() != QEvent::Close) return false;
    TForm* form = FormOfWindow(watched);
    // A modal form that has its result is being ended through its dialog: let it close.
    if (!form || !form->Showing() || form->ModalResult() != mrNone) return false;
    // The user closes the window: that is the form's Close, which hides it (or ends its
    // modal run) when the form agrees.
    event->ignore();
    if (FormRenderer* r = RendererFor(*form)) r->RunAction([form] { form->Close(); });
    return true;
}

} // namespace pla
