#include "framework/services/ModuleLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <dlfcn.h>

namespace pla {

namespace {

using Entry = void (*)();

Entry Resolve(void* handle, const char* symbol) {
    return reinterpret_cast<Entry>(dlsym(handle, symbol));
}

} // namespace

ModuleLoader& ModuleLoader::Instance() {
    static ModuleLoader loader;
    return loader;
}

ModuleLoader::~ModuleLoader() {
    // Modules are left mapped at exit: their static objects may still be referenced by the
    // host's own teardown.
}

QString ModuleLoader::FileName(const QString& folder, const QString& name) {
    return QDir(folder).filePath(QStringLiteral("libPkg_%1.so").arg(name));
}

ModuleLoader::Outcome ModuleLoader::Run(const QString& folder, const QString& name) {
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z0-9_]+$"));
    if (!valid.match(name).hasMatch())
        return {false, QStringLiteral("Nome de módulo inválido: \"%1\".").arg(name)};

    auto it = modules_.find(name);
    if (it == modules_.end()) {
        const QString file = QFileInfo(FileName(folder, name)).absoluteFilePath();
        if (!QFileInfo::exists(file))
            return {false, QStringLiteral("Módulo %1 não encontrado: o arquivo %2 não existe.")
                               .arg(name, file)};
        void* handle = dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return {false, QStringLiteral("Não foi possível carregar o módulo %1 (%2): %3")
                               .arg(name, file, QString::fromLocal8Bit(dlerror()))};
        const Entry iniProc = Resolve(handle, "IniProc");
        if (!iniProc) {
            dlclose(handle);
            return {false,
                    QStringLiteral("O módulo %1 (%2) não tem a entrada IniProc.").arg(name, file)};
        }
        if (const Entry initialize = Resolve(handle, "Initialize")) {
            try {
                initialize();
            } catch (...) {
                dlclose(handle);
                throw;
            }
        }
        it = modules_.insert(name, Module{handle, iniProc});
    }
    it->iniProc();
    return {true, {}};
}

bool ModuleLoader::IsLoaded(const QString& name) const {
    return modules_.contains(name);
}

void ModuleLoader::Unload(const QString& name) {
    const auto it = modules_.find(name);
    if (it == modules_.end()) return;
    const Module m = *it;
    modules_.erase(it);
    if (const Entry finalize = Resolve(m.handle, "Finalize")) finalize();
    dlclose(m.handle);
}

} // namespace pla
