#include "module/BranchGenerationEntries.h"

#include "branch_generation/CriaDistribuicaoFilial.h"
#include "distribution/DistEmbCard.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/Dispatch.h"
#include "module/ModuleEntries.h"

#include <QDate>
#include <QString>
#include <exception>

extern "C" {

void CriaDistribuicaoFilial(const char* cdFilial, const char* dtCardapio) {
    try {
        pla::Dispatch([&] {
            if (!frmDistEmbCard) {
                pla::Dialogs().ShowError(QStringLiteral(
                    "Abra a Distribuição do Cardápio antes da Distribuição da Filial."));
                return;
            }
            const QString branch = cdFilial ? QString::fromUtf8(cdFilial) : QString();
            const QDate date = dtCardapio
                                   ? QDate::fromString(QString::fromLatin1(dtCardapio), Qt::ISODate)
                                   : QDate();
            ::CriaDistribuicaoFilial(branch, date, frmDistEmbCard->netDistEmbCard);
        });
    } catch (const std::exception& e) {
        // Only when no failure handler is installed; a C caller cannot take an exception.
        if (pla::HasDialogs()) pla::Dialogs().ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        // Nothing may cross into a C caller.
    }
}
}
