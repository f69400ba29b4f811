#pragma once

#include "module/ModuleExport.h"

extern "C" {

// The host's entry. Called with a null parameter (the distribution screen's print button)
// it opens the print screen modally. Called with a map holding "pdf" it writes the PDF of a
// whole branch day without any screen (see DistributionPdfExport for the keys).
PLA_MODULE_EXPORT void IniProc();
// Load and unload entries: the module has no start-up or shut-down work of its own.
PLA_MODULE_EXPORT void Initialize();
PLA_MODULE_EXPORT void Finalize();
}
