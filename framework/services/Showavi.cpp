#include "framework/services/Showavi.h"

#include "framework/ui/DialogService.h"

namespace Showavi {

namespace {
// Levels opened on the dialog service, so an unmatched removal never reaches it.
int depth = 0;
} // namespace

void ActiveShowAvi(TComponent* /*mainWindow*/, int kind) {
    if (!pla::HasDialogs()) return;
    pla::Dialogs().BusyBegin(kind);
    ++depth;
}

void DeactiveShowAvi() {
    if (depth == 0) return;
    --depth;
    if (pla::HasDialogs()) pla::Dialogs().BusyEnd();
}

int Depth() {
    return depth;
}

} // namespace Showavi
