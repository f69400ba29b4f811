#pragma once

#include "framework/qt/BusyIndicator.h"
#include "framework/ui/DialogService.h"

#include <QPointer>
#include <QWidget>

class QMessageBox;

namespace pla {

// The dialog services with real Qt dialogs: message boxes with Portuguese buttons, the pick
// list, the find dialog and the busy animation. Dialogs open over the active window (or the
// main window when none is active).
class QtDialogService : public DialogService {
public:
    explicit QtDialogService(QWidget* mainWindow = nullptr);
    ~QtDialogService() override;

    void SetMainWindow(QWidget* window);

    int MessageBox(const QString& text, MsgDlgType type, MsgDlgButtons buttons) override;
    bool PickList(TDataSource& source, const QString& caption) override;
    void Find(TClientDataSet& dataSet) override;
    void BusyBegin(int kind) override;
    void BusyEnd() override;
    // On the main window's status line, for ten seconds.
    void ShowStatus(const QString& text) override;

    BusyIndicator& Busy() { return busy_; }
    // When on (runs with nobody at the screen), no dialog ever opens: each message box is a
    // line "Título: texto" on the error output, answered with its negative button (No,
    // Cancel), and a pick list or find dialog is a line saying nobody could answer it.
    void SetUnattended(bool on) { unattended_ = on; }
    // Errors and questions met while unattended: each means the run did not do all it was
    // asked.
    int UnattendedFailures() const { return unattendedFailures_; }

    // Installs this service and an error handler that shows failed user actions in an error
    // box. Uninstalls both when destroyed.
    void Install();

    // The message box MessageBox shows, built but not run (for checks and for callers that
    // need the box itself). Portuguese button texts, icon and title by type.
    static QMessageBox* BuildBox(const QString& text, MsgDlgType type, MsgDlgButtons buttons,
                                 QWidget* parent);
    // The model's answer for the button the box ended with.
    static int Answer(QMessageBox& box);

private:
    QWidget* Parent() const;
    // Reports a dialog that needs a choice while unattended; false, as a cancel.
    bool Unanswerable(const QString& dialog);

    QPointer<QWidget> mainWindow_;
    BusyIndicator busy_;
    bool installed_ = false;
    bool unattended_ = false;
    int unattendedFailures_ = 0;
};

} // namespace pla
