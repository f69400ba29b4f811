#include "host/scenario/ScenarioModule.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>

#include "distribution/DistEmbCard.h"
#include "host/scenario/ScenarioRunner.h"

namespace pla {

ScenarioModule::ScenarioModule(const QString& folder) {
    const QString file = QDir(folder).filePath(QStringLiteral("libPkg_PLA15400.so"));
    handle_ = dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        throw ScenarioFailure(QStringLiteral("não foi possível carregar %1: %2")
                                  .arg(file, QString::fromLocal8Bit(dlerror())));
    auto resolve = [&](const char* name) {
        void* p = dlsym(handle_, name);
        if (!p)
            throw ScenarioFailure(
                QStringLiteral("%1 não exporta %2").arg(file, QString::fromLatin1(name)));
        return p;
    };
    auto initialize = reinterpret_cast<void (*)()>(resolve("Initialize"));
    iniProc_ = reinterpret_cast<void (*)()>(resolve("IniProc"));
    finalize_ = reinterpret_cast<void (*)()>(resolve("Finalize"));
    screen_ = static_cast<void**>(resolve("frmDistEmbCard"));
    created_ = static_cast<bool*>(resolve("boIdCriado"));
    initialize();
}

ScenarioModule::~ScenarioModule() {
    DestroyScreen();
    if (finalize_) finalize_();
    // The module stays mapped: Qt keeps pointers into it (static strings) until exit.
}

void ScenarioModule::IniProc() { iniProc_(); }

TForm* ScenarioModule::Screen() const {
    auto* screen = static_cast<TfrmDistEmbCard*>(*screen_);
    return screen;
}

bool ScenarioModule::Created() const { return *created_; }

void ScenarioModule::DestroyScreen() {
    if (TForm* screen = Screen()) TForm::Free(screen);
}

} // namespace pla
