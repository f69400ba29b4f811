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
    // When on, every message box's text is also written to the error output (unattended runs).
    void SetEcho(bool on) { echo_ = on; }

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

    QPointer<QWidget> mainWindow_;
    BusyIndicator busy_;
    bool installed_ = false;
    bool echo_ = false;
};

} // namespace pla
