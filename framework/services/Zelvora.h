#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <functional>

class TComponent;

// The login context and host services the screens read. The host fills them; a module only
// reads them. They live in the framework library, so host and modules share one copy.
namespace Zelvora {

// Branch code of the logged-in user.
extern QString FiliProc;
// True when the logged-in user is tied to that one branch.
extern bool ModuFili;
// Host name and port of the application server.
extern QString WebURL;
extern int WebPort;

// The date the screens take as today: the date set by SetToday, or the machine's date.
QDate Today();
// Fixes today's date (tests, scenarios); an invalid date goes back to the machine's date.
void SetToday(const QDate& date);

// The host's main window (nullptr until the host sets it).
TComponent* MainWindow();
void SetMainWindow(TComponent* window);

// Name of the QSqlDatabase connection the host opens on the suite's general database.
inline constexpr const char* DefaultDatabaseConnectionName = "zelvora_geral";
QString DatabaseConnectionName();
void SetDatabaseConnectionName(const QString& name);

// Folder the module packages are loaded from: the one set by SetModuleFolder, otherwise
// the folder of the running program.
QString ModuleFolder();
void SetModuleFolder(const QString& folder);

// Loads module name (libPkg_<name>.so in ModuleFolder(); loaded once per process, calling
// its Initialize) and calls its IniProc, with param readable through BplParam() during that
// call. A module that cannot be found or loaded or that has no IniProc is reported to the
// user in an error box naming the file, and false is returned; true when IniProc ran.
bool LoadBPL(const QString& name, const QVariant& param = {});

// The parameter of the LoadBPL call that is running the module (null outside one).
QVariant BplParam();

// True when module name is installed in ModuleFolder(). When it is not, the file looked for
// goes to the log (never to the user, who is told which module is missing).
bool ModuleInstalled(const QString& name);

// Opens the user guide at topic (a screen code) through the host's help window; does nothing
// when the host has none.
void ShowHelp(const QString& topic);
void SetHelpHandler(std::function<void(const QString& topic)> handler);

} // namespace Zelvora
