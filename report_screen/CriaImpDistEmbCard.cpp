#include "report_screen/CriaImpDistEmbCard.h"

#include "report_screen/ImpDistEmbCard.h"

TfrmImpDistEmbCard* frmImpDistEmbCard = nullptr;

void CriaImpDistEmbCard(const QString& branch, const QDate& date) {
    if (!frmImpDistEmbCard) {
        auto* screen = new TfrmImpDistEmbCard(nullptr);
        try {
            screen->DoCreate();
        } catch (...) {
            TForm::Free(screen);
            throw;
        }
        frmImpDistEmbCard = screen;
        screen->AddChangeListener([screen](TComponent&, TChange what) {
            if (what == TChange::Destroyed && frmImpDistEmbCard == screen)
                frmImpDistEmbCard = nullptr;
        });
    }
    frmImpDistEmbCard->Abre(branch, date);
}
