#include "framework/print/PrintOutput.h"

#include <stdexcept>

namespace pla {

namespace {
PrintOutput* installed = nullptr;
} // namespace

PrintOutput::~PrintOutput() = default;

PrintOutput& Printing() {
    if (!installed) throw std::logic_error("no print output installed");
    return *installed;
}

bool HasPrinting() {
    return installed != nullptr;
}

void SetPrintOutput(PrintOutput* output) {
    installed = output;
}

} // namespace pla
