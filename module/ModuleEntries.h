#pragma once

#include "module/ModuleExport.h"

class TfrmDistEmbCard;

// The description GetPackageInfoTable hands to the host.
struct PackageInfo {
    const char* name;         // the package's name
    const char* const* units; // the units it contains, ending with a null entry
};

extern "C" {

// True once the distribution screen exists; cleared again when the screen is destroyed.
PLA_MODULE_EXPORT extern bool boIdCriado;
// The single distribution screen, null until it is created and after it is destroyed.
PLA_MODULE_EXPORT extern TfrmDistEmbCard* frmDistEmbCard;

// The host's entry: opens the distribution screen (creating it on the first call).
PLA_MODULE_EXPORT void IniProc();
// Creates the distribution screen when needed and shows it.
PLA_MODULE_EXPORT void CriaDistEmbCard();
// Load and unload entries: the module has no start-up or shut-down work of its own.
PLA_MODULE_EXPORT void Initialize();
PLA_MODULE_EXPORT void Finalize();
// What the package contains.
PLA_MODULE_EXPORT const PackageInfo* GetPackageInfoTable();
}
