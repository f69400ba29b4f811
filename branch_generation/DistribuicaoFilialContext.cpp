// Branch and menu date (their rules live in BranchDatePanel): the checks before a load or a
// generation, and what a change or leaving the code field reloads.
#include "branch_generation/DistribuicaoFilial.h"
#include "framework/ui/TEdit.h"

void TfrmDistribuicaoFilial::VdFilial() {
    ValidateBranch(true);
}

void TfrmDistribuicaoFilial::VdDistribuicaoFilial() {
    VdFilial();
    RequireDate(QStringLiteral("DTCARD_N_INF"));
}

void TfrmDistribuicaoFilial::edtCdFilialChange(TComponent&) {
    edtNmFilial->SetText(QString());
    cdsServicos->EmptyDataSet();
}

void TfrmDistribuicaoFilial::edtCdFilialExit(TComponent&) {
    VdFilial();
    GetServicos(edtCdFilial->Text());
}

void TfrmDistribuicaoFilial::btnFilialClick(TComponent&) {
    LookUpBranch();
}

void TfrmDistribuicaoFilial::depCardapioDateChange(TComponent&) {
    ShowWeekDay();
}
