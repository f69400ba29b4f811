#pragma once

#include <QString>

class TDataSource;
class TClientDataSet;

namespace pla {

// Kind of a message box (its icon and caption).
enum class MsgDlgType { Error, Information, Warning, Confirmation };

// Buttons of a message box; combine with |.
using MsgDlgButtons = unsigned;
constexpr MsgDlgButtons mbOK = 1;
constexpr MsgDlgButtons mbCancel = 2;
constexpr MsgDlgButtons mbYes = 4;
constexpr MsgDlgButtons mbNo = 8;
// Not a button: makes No (or Cancel) the default, for questions a reflex Enter must not
// answer with yes.
constexpr MsgDlgButtons mbDefaultNo = 16;
constexpr MsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr MsgDlgButtons mbYesNo = mbYes | mbNo;

// Every dialog the screens open goes through this one interface: the Qt front end shows
// real dialogs; tests and the scenario runner answer from a script.
class DialogService {
public:
    virtual ~DialogService();

    // Shows text with the buttons and returns the answer (mrOk, mrCancel, mrYes, mrNo from
    // ModalResult.h). A box with only OK returns mrOk once dismissed.
    virtual int MessageBox(const QString& text, MsgDlgType type, MsgDlgButtons buttons) = 0;
    // Modal pick list over the shown fields of the source's dataset. caption is "title|text
    // shown when the dataset is empty". True when the user picked a record; the dataset is
    // then positioned on it.
    virtual bool PickList(TDataSource& source, const QString& caption) = 0;
    // Find dialog over a dataset; positions it on the record found.
    virtual void Find(TClientDataSet& dataSet) = 0;
    // Busy animation of the given kind shown / removed. Calls nest: the animation goes away
    // with the last BusyEnd.
    virtual void BusyBegin(int kind) = 0;
    virtual void BusyEnd() = 0;
    // A short word on what just happened ("Distribuição gravada."), shown for a while where it
    // asks for no answer (the main window's status line); nothing by default.
    virtual void ShowStatus(const QString& text);

    // Conveniences over MessageBox.
    void ShowError(const QString& text);
    void ShowInformation(const QString& text);
    void ShowWarning(const QString& text);
    bool AskYesNo(const QString& text, MsgDlgType type = MsgDlgType::Confirmation);
    bool AskOkCancel(const QString& text, MsgDlgType type = MsgDlgType::Confirmation);
};

// The installed service. Throws std::logic_error when none is installed: a dialog with
// nobody to answer it is a fault, never a silent default.
DialogService& Dialogs();
// True when a service is installed.
bool HasDialogs();
// Installs a service (not owned); nullptr uninstalls.
void SetDialogService(DialogService* service);

} // namespace pla
