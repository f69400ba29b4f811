#include "framework/services/BusyScope.h"

#include "framework/services/Showavi.h"

namespace pla {

BusyScope::BusyScope(TComponent* mainWindow, int kind) {
    // Only a level this scope really opened is closed by it (nothing opens without a
    // dialog service).
    const int before = Showavi::Depth();
    Showavi::ActiveShowAvi(mainWindow, kind);
    active_ = Showavi::Depth() > before;
}

BusyScope::~BusyScope() {
    Release();
}

void BusyScope::Release() {
    if (!active_) return;
    active_ = false;
    Showavi::DeactiveShowAvi();
}

} // namespace pla
