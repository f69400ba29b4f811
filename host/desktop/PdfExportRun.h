#pragma once

#include "host/desktop/HostOptions.h"

namespace pla {

class HostSession;

// pla-host --pdf: opens the print module without any window, so that it writes the PDF of a
// branch day, and says on the error output what went wrong. Every message box becomes a line
// on the error output; a question is answered with its negative button.
class PdfExportRun {
public:
    // The exit code: 0 when the PDF was written, 1 otherwise.
    static int Run(HostSession& session, const HostOptions& options);
    // True when the command line asks for a PDF (looked at before the application exists, so
    // that a machine without a display can run it).
    static bool Requested(int argc, char* argv[]);
};

} // namespace pla
