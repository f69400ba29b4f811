#pragma once

#include "framework/ui/FormHost.h"

#include <QMdiArea>
#include <QObject>
#include <QPointer>
#include <memory>
#include <unordered_map>

class QDialog;
class QMdiSubWindow;
class QWidget;
class TComponent;

namespace pla {

class FormRenderer;

// Shows headless forms as Qt windows: MDI children inside the main window's MDI area (forms
// of the MDI-child style), modal forms as QDialog, other forms as top-level windows. Each
// form gets its renderer on first show and keeps it while the form lives. Closing a window
// is the form's Close; the window goes away when the form hides it or is destroyed.
class QtFormHost : public QObject, public FormHost {
public:
    explicit QtFormHost(QMdiArea* mdiArea = nullptr);
    ~QtFormHost() override;

    void SetMdiArea(QMdiArea* area) { mdi_ = area; }

    void Show(TForm& form) override;
    int RunModal(TForm& form) override;
    void Close(TForm& form) override;

    // The renderer and window of form, or nullptr when it was never shown.
    FormRenderer* RendererFor(const TForm& form) const;
    QWidget* WindowFor(const TForm& form) const;
    // The form of the active MDI child window, or nullptr.
    TForm* ActiveMdiForm() const;

    // The user wants to quit: for each form holding an unconfirmed change, asks
    // whether to quit anyway (No is the default). True when nothing is pending or the user
    // said Yes every time.
    bool ConfirmQuit();

    // The application is ending and owns the screens it showed: destroys every form shown
    // through this host that has no owner of its own (their teardown runs, connections close).
    void DestroyForms();

    // Installs this host (SetFormHost); uninstalled when destroyed.
    void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry;
    Entry& EntryFor(TForm& form);
    void MakeWindow(Entry& entry, bool modal);
    void FormChanged(TComponent& form, int what);
    TForm* FormOfWindow(QObject* window) const;
    // Ctrl+Tab and Ctrl+Shift+Tab typed in a shown form go to that form (they leave a grid)
    // before the MDI area can take them; true when taken.
    bool TakeCtrlTab(QObject* watched, QEvent* event);

    QPointer<QMdiArea> mdi_;
    std::unordered_map<const TForm*, std::unique_ptr<Entry>> entries_;
    bool installed_ = false;
    std::shared_ptr<bool> alive_;
};

} // namespace pla
