#pragma once

#include "host/desktop/HostOptions.h"

namespace pla {

class HostSession;
class QtDialogService;

// pla-host --pdf, --zpl and --printer: opens the print module without any window, so that it
// writes the PDF of a branch day or prints its labels, and says on the error output what went wrong
// (the dialogs are unattended: every message box is a line on the error output; a question is
// answered with its negative button).
class PdfExportRun {
public:
    // The exit code: 0 when the PDF or ZPL was written (or the label printer took the job) and
    // no error or question came up, 1 otherwise.
    static int Run(HostSession& session, const HostOptions& options,
                   const QtDialogService& dialogs);
};

} // namespace pla
