#pragma once

class TComponent;

namespace pla {

// Shows the busy animation for the lifetime of the scope and removes it on every way out,
// exceptions and the silent abort included.
class BusyScope {
public:
    // Showavi::ActiveShowAvi(mainWindow, kind).
    explicit BusyScope(TComponent* mainWindow, int kind = 1);
    // Showavi::DeactiveShowAvi(), unless Release already did.
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    // Removes the animation now, before the scope ends.
    void Release();

private:
    bool active_ = true;
};

} // namespace pla
