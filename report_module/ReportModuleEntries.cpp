#include "report_module/ReportModuleEntries.h"

#include "framework/services/Zelvora.h"
#include "report/DistributionPdfExport.h"
#include "report_screen/CriaImpDistEmbCard.h"

extern "C" {

void IniProc() {
    const QVariant param = Zelvora::BplParam();
    if (param.isNull()) {
        CriaImpDistEmbCard();
        return;
    }
    pla::DistributionPdfExport::Run(param.toMap());
}

void Initialize() {}

void Finalize() {}
}
