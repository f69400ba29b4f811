// A module package for the loader tests: every entry reports itself in an information box.
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"

namespace {
int iniProcCalls = 0;
}

extern "C" __attribute__((visibility("default"))) void Initialize() {
    pla::Dialogs().ShowInformation(QStringLiteral("Initialize"));
}

extern "C" __attribute__((visibility("default"))) void Finalize() {
    pla::Dialogs().ShowInformation(QStringLiteral("Finalize"));
}

extern "C" __attribute__((visibility("default"))) void IniProc() {
    const QVariant p = Zelvora::BplParam();
    pla::Dialogs().ShowInformation(QStringLiteral("IniProc %1 %2")
                                       .arg(++iniProcCalls)
                                       .arg(p.isNull() ? QStringLiteral("null") : p.toString()));
}
