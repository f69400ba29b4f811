#pragma once

#include "framework/print/PrintDocument.h"

#include <QString>

namespace pla {

// Where printed documents go. The Qt front end shows the preview dialog, drives the printer
// and writes PDF files; tests and scenarios record what they were given.
class PrintOutput {
public:
    virtual ~PrintOutput();

    // Shows the pages in a preview the user may print from; returns when it is closed.
    virtual void Preview(const PrintDocument& document) = 0;
    // Asks for a printer and prints; false when the user gave up.
    virtual bool Print(const PrintDocument& document) = 0;
    // Asks where to save the PDF (suggestedName proposed) and writes it; the file written, or
    // empty when the user gave up. A failure to write is shown to the user (empty returned).
    virtual QString SavePdf(const PrintDocument& document, const QString& suggestedName) = 0;
    // Writes the PDF to file without asking. False with the Portuguese reason in error.
    virtual bool WritePdf(const PrintDocument& document, const QString& file, QString& error) = 0;
};

// The installed output. Throws std::logic_error when none is installed.
PrintOutput& Printing();
bool HasPrinting();
// Installs an output (not owned); nullptr uninstalls.
void SetPrintOutput(PrintOutput* output);

} // namespace pla
