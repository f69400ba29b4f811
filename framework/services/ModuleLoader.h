#pragma once

#include <QHash>
#include <QString>

namespace pla {

// Loads module packages (shared libraries named libPkg_<name>.so) once per process and runs
// their IniProc entry. A module stays loaded until Unload, so globals it keeps (a screen
// created once and shown again) live across calls.
class ModuleLoader {
public:
    // Result of Run: ok, or the Portuguese text naming the module file and what was wrong.
    struct Outcome {
        bool ok = false;
        QString message;
    };

    // The process-wide loader.
    static ModuleLoader& Instance();

    ~ModuleLoader();

    // The file a module of that name is looked for in folder.
    static QString FileName(const QString& folder, const QString& name);

    // Loads the module from folder the first time (calling its Initialize entry when it has
    // one), then calls its IniProc. A name with anything but letters, digits and '_', a
    // missing file, a library that does not load and a library without IniProc come back
    // as a failed Outcome; nothing is called then. Exceptions from the module's entries
    // travel on to the caller.
    Outcome Run(const QString& folder, const QString& name);

    // True when a module of that name is loaded.
    bool IsLoaded(const QString& name) const;

    // Calls the module's Finalize entry (when it has one) and unloads it. Unknown names do
    // nothing. Nothing the module handed out (objects, handlers, texts built from its
    // literals) may be used afterwards.
    void Unload(const QString& name);

private:
    ModuleLoader() = default;

    struct Module {
        void* handle = nullptr;
        void (*iniProc)() = nullptr;
    };
    QHash<QString, Module> modules_;
};

} // namespace pla
