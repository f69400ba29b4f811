#include "framework/print/RecordedPrintOutput.h"

namespace pla {

void RecordedPrintOutput::Preview(const PrintDocument& document) {
    jobs_.push_back({Action::Preview, document, {}});
}

bool RecordedPrintOutput::Print(const PrintDocument& document) {
    jobs_.push_back({Action::Print, document, {}});
    return true;
}

QString RecordedPrintOutput::SavePdf(const PrintDocument& document, const QString& suggestedName) {
    suggestions_.push_back(suggestedName);
    if (saveAs_.isEmpty()) return {};
    const QString file = saveAs_.dequeue();
    jobs_.push_back({Action::SavePdf, document, file});
    return file;
}

bool RecordedPrintOutput::WritePdf(const PrintDocument& document, const QString& file, QString&) {
    jobs_.push_back({Action::WritePdf, document, file});
    return true;
}

} // namespace pla
