// Opening the branch generation screen for this screen's branch and date, and showing what it
// generated when it closes.
#include "branch_generation/CriaDistribuicaoFilial.h"
#include "distribution/DistEmbCard.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"

void TfrmDistEmbCard::sbtGerarClick(TComponent&) {
    // The service list is reloaded when the other screen closes, whatever it did.
    ConfirmLeavingChange();
    VdFilial(true);
    depCardapio->CheckValidDate();

    // The branch generation screen has no connection of its own: it borrows this one.
    CriaDistribuicaoFilial(edtCdFilial->Text(), depCardapio->GetDate(), netDistEmbCard);

    // Without a menu date there is no service list to refresh (the server would only refuse
    // the empty date); the generation itself ran on the date chosen in the other screen.
    if (depCardapio->IsEmpty()) return;
    GetServicos(edtCdFilial->Text(), depCardapio->GetDate(), true);
}

void TfrmDistEmbCard::mnuGerarClick(TComponent&) {
    sbtGerar->Click();
}
