#pragma once

#include "module/ModuleExport.h"

// The branch generation screen's entries as the host resolves them by name.
//
// frmDistribuicaoFilial, the single branch generation screen, is a plain global of the
// branch generation library, which the module links: a look-up of that name through the
// module's handle finds it there, so the module does not define a second one.
//
// CriaDistribuicaoFilial has two faces. Inside the module the distribution screen calls the
// C++ one (branch as QString, date as QDate, and the connection to borrow). The host gets
// this C one: plain texts in, and the connection is the distribution screen's, as it always
// is for this screen.
extern "C" {

// Opens the branch generation screen modally for branch cdFilial (UTF-8) and menu date
// dtCardapio ("AAAA-MM-DD"; null, empty or not a date opens it without a date) and returns
// when it is closed. The screen calls the server through the distribution screen's
// connection, so that screen must be open; when it is not, the user is told so and nothing
// opens. Every failure is shown to the user; nothing escapes to the caller.
PLA_MODULE_EXPORT void CriaDistribuicaoFilial(const char* cdFilial, const char* dtCardapio);
}
