#pragma once

#include <QString>

class TForm;

namespace pla {

// The distribution module loaded the way the host loads it: dlopen of libPkg_PLA15400.so,
// its Initialize entry, then IniProc on demand. Reaches the screen through the exported
// frmDistEmbCard and boIdCriado, as the host does.
class ScenarioModule {
public:
    // Loads the module from folder; throws ScenarioFailure naming the file when it cannot.
    explicit ScenarioModule(const QString& folder);
    ~ScenarioModule();
    ScenarioModule(const ScenarioModule&) = delete;
    ScenarioModule& operator=(const ScenarioModule&) = delete;

    // The host's call of IniProc.
    void IniProc();
    // The distribution screen, or nullptr when none exists.
    TForm* Screen() const;
    bool Created() const;
    // Closes and destroys the screen as the host does when the user closes it.
    void DestroyScreen();

private:
    void* handle_ = nullptr;
    void (*iniProc_)() = nullptr;
    void (*finalize_)() = nullptr;
    void** screen_ = nullptr;
    bool* created_ = nullptr;
};

} // namespace pla
