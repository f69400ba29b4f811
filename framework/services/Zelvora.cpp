#include "framework/services/Zelvora.h"

#include "framework/services/ModuleLoader.h"
#include "framework/ui/DialogService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <utility>

namespace Zelvora {

QString FiliProc;
bool ModuFili = false;
QString WebURL;
int WebPort = 0;

namespace {
QDate fixedToday;
TComponent* mainWindow = nullptr;
QString databaseConnection = QString::fromLatin1(DefaultDatabaseConnectionName);
QString moduleFolder;
QVariant currentParam;
std::function<void(const QString&)> helpHandler;
} // namespace

QDate Today() {
    return fixedToday.isValid() ? fixedToday : QDate::currentDate();
}

void SetToday(const QDate& date) {
    fixedToday = date;
}

TComponent* MainWindow() {
    return mainWindow;
}

void SetMainWindow(TComponent* window) {
    mainWindow = window;
}

QString DatabaseConnectionName() {
    return databaseConnection;
}

void SetDatabaseConnectionName(const QString& name) {
    databaseConnection = name;
}

QString ModuleFolder() {
    if (!moduleFolder.isEmpty()) return moduleFolder;
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void SetModuleFolder(const QString& folder) {
    moduleFolder = folder;
}

bool LoadBPL(const QString& name, const QVariant& param) {
    // Restores the previous parameter however the module's entries end.
    struct ParamScope {
        QVariant saved;
        explicit ParamScope(const QVariant& p) : saved(std::exchange(currentParam, p)) {}
        ~ParamScope() { currentParam = saved; }
    } scope(param);

    const auto outcome = pla::ModuleLoader::Instance().Run(ModuleFolder(), name);
    if (!outcome.ok) pla::Dialogs().ShowError(outcome.message);
    return outcome.ok;
}

QVariant BplParam() {
    return currentParam;
}

bool ModuleInstalled(const QString& name) {
    const QString file = pla::ModuleLoader::FileName(ModuleFolder(), name);
    if (QFileInfo::exists(file)) return true;
    qWarning("módulo %s não instalado: %s não existe", qPrintable(name), qPrintable(file));
    return false;
}

void ShowHelp(const QString& topic) {
    if (helpHandler) helpHandler(topic);
}

void SetHelpHandler(std::function<void(const QString& topic)> handler) {
    helpHandler = std::move(handler);
}

} // namespace Zelvora
