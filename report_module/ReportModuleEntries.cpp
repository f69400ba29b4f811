#include "report_module/ReportModuleEntries.h"

#include "framework/services/Zelvora.h"
#include "report/DistributionPdfExport.h"
#include "report_screen/CriaImpDistEmbCard.h"

extern "C" {

void IniProc() {
    // A PDF or labels for a script name their file or printer; otherwise the screen opens, on the
    // branch and date of the screen that opened it when it says them.
    const QVariantMap param = Zelvora::BplParam().toMap();
    if (param.contains(QStringLiteral("pdf")) || param.contains(QStringLiteral("zpl")) ||
        param.contains(QStringLiteral("printer"))) {
        pla::DistributionPdfExport::Run(param);
        return;
    }
    CriaImpDistEmbCard(
        param.value(QStringLiteral("branch")).toString(),
        QDate::fromString(param.value(QStringLiteral("date")).toString(), Qt::ISODate));
}

void Initialize() {}

void Finalize() {}
}
