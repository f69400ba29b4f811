#pragma once

#include "module/ModuleExport.h"

// The dish dialog's entries as the host resolves them by name.
//
// frmDadosPrato, the single dish dialog, is a plain global of the dish dialog library, which
// the module links: a look-up of that name through the module's handle finds it there, so the
// module does not define a second one.
//
// CriaDadosPrato has two faces. Inside the module the distribution screen calls the C++ one
// (amounts by reference, the unit as QString). The host gets this C one: the amounts through
// pointers, the unit as UTF-8 text.
extern "C" {

// Asks the user how much of one dish to move. *diners, *quantity and *extra are on entry the
// amounts that may be moved (the proposal and the maxima); unit (UTF-8, null for none) is
// shown beside quantity and extra; qtPerPerson keeps diners and quantity in proportion.
// True when the user confirmed with at least one value not zero: the three then hold the
// choice, rounded to 5 decimals and none above its maximum. False when confirmed with all
// three zero (they are then zero), when closed any other way (they are left untouched), or
// when a pointer is null (nothing opens). Every failure is shown to the user; nothing escapes
// to the caller.
PLA_MODULE_EXPORT bool CriaDadosPrato(double* diners, double* quantity, const char* unit,
                                      double* extra, double qtPerPerson);
}
