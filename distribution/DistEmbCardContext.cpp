// Branch and menu date (their rules live in BranchDatePanel): what a change of either does to
// the rest of the screen, and what leaving the panel loads.
#include "distribution/DistEmbCard.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"

void TfrmDistEmbCard::VdFilial(bool mandatory) {
    ValidateBranch(mandatory);
}

void TfrmDistEmbCard::edtCdFilialEnter(TComponent&) {
    Habilita();
}

void TfrmDistEmbCard::edtCdFilialChange(TComponent&) {
    edtNmFilial->SetText(QString());
    cdsServicos->EmptyDataSet();
    cmbPontosEntrega->Clear();
    LimpaDistribuicao();
}

void TfrmDistEmbCard::edtCdFilialExit(TComponent&) {
    VdFilial(false);
}

void TfrmDistEmbCard::btnFilialClick(TComponent&) {
    LookUpBranch();
}

void TfrmDistEmbCard::depCardapioChange(TComponent&) {
    cdsServicos->EmptyDataSet();
    cmbPontosEntrega->Clear();
    LimpaDistribuicao();
}

void TfrmDistEmbCard::depCardapioDateChange(TComponent&) {
    ShowWeekDay();
}

void TfrmDistEmbCard::depCardapioExit(TComponent&) {
    depCardapio->CheckValidDate();
}

void TfrmDistEmbCard::panFilialExit(TComponent&) {
    VdFilial(true);
    RequireDate(QStringLiteral("DTCARDAPIO_N_INF"));
    if (cdsServicos->IsEmpty()) GetServicos(edtCdFilial->Text(), depCardapio->GetDate(), false);
    Habilita();
}
