// Viewing and change mode, the enabling pass over every command, and the record actions as
// this screen redefines them.
#include "distribution/DistEmbCard.h"
#include "framework/data/Abort.h"
#include "framework/services/Consiste.h"
#include "framework/services/Procurar.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBMemo.h"
#include "framework/ui/TDBNavigator.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TMenuItem.h"
#include "framework/ui/TMessages.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/TSpeedButton.h"

#include <optional>

namespace {

bool HoldsRecord(const TClientDataSet& ds) {
    return ds.Active() && !ds.IsEmpty();
}

// Enabled states one pass decides; an empty optional leaves a command as it is.
struct Decision {
    std::optional<bool> incluir, procurar, excluir, alterar, verificar, confirmarCancelar,
        redistribuir, gerar, apagar, addPrat, delPrat, listControl, distributionSide;
};

void Apply(TControl* c, const std::optional<bool>& on) {
    if (on) c->SetEnabled(*on);
}

} // namespace

void TfrmDistEmbCard::Habilita() {
    EnablingPass(false);
}

void TfrmDistEmbCard::EnablingPass(bool afterEmptying) {
    const bool N = cmbPontosEntrega->ItemIndex() == 0 && cmbPontosEntrega->Count() > 1;
    const bool D = HoldsRecord(*cdsDistCard);
    const bool C = cdsDistCard->Editing();
    const bool P = cdsEmbDistCard->Editing();
    const bool K = HoldsRecord(*cdsEmbDistCard);
    const bool A = HoldsRecord(*cdsCardapioDisponivel);
    const bool I = HoldsRecord(*cdsItEmbDistCard);

    const TWinControl* F = ActiveControl();
    const bool serviceList = F == dbgPadrao || F == cmbFiltroGrupo || F == cmbPontosEntrega;
    const bool distributionArea = F == dbgCardapio || F == dbgPratosEmb || F == dbgEmbalagens ||
                                  F == dbeQtPorPessoa || F == dbmObservacaoEtiqueta;
    const bool named = F == edtCdFilial || serviceList || distributionArea;
    // Emptying happens while the branch and date are being chosen (and at creation, before
    // the screen has a focus): the buttons then follow the branch panel's column, so nothing
    // the table does not give survives from a distribution that is gone.
    if (afterEmptying && !named) F = edtCdFilial;
    // Outside the table a pass in viewing mode leaves everything as it is, but for what the
    // change-mode lock below has to give back.
    if (!F && !C && !changeLocked_) return;

    Decision d;
    if (F == edtCdFilial) {
        d = {false, false, false, false, false, false,       false,
             true,  false, false, false, false, std::nullopt};
    } else if (serviceList) {
        d = {false, false, false, true, true, false, !N, !N, D, false, false, true, std::nullopt};
    } else if (distributionArea) {
        const bool grid = F == dbgCardapio || F == dbgPratosEmb;
        const bool packagings = F == dbgEmbalagens;
        d.incluir = packagings && D && !N;
        d.procurar = false;
        d.excluir = packagings && D && K && !N;
        d.alterar = grid ? D : packagings ? D && !P : false;
        d.verificar = !C;
        d.confirmarCancelar = C;
        d.redistribuir = !C && !N;
        d.gerar = !C && !N;
        d.apagar = !C && D;
        d.addPrat = A && !N;
        d.delPrat = I && !N;
        d.listControl = !C;
        d.distributionSide = !C;
    }

    if (C || changeLocked_) {
        // Whatever has the focus, every way out of a pending change that the table leaves
        // unset (a focus it does not name, its "not changed" cells) is set as the distribution
        // area sets it: locked in change mode, given back by the pass that sees the change
        // end. The ways out the table itself leaves open (the service list's and the branch
        // code's commands) ask before they discard the change. A pending change can always be
        // confirmed or cancelled.
        const auto fill = [](std::optional<bool>& cell, bool value) {
            if (!cell) cell = value;
        };
        fill(d.verificar, !C);
        fill(d.redistribuir, !C && !N);
        fill(d.gerar, !C && !N);
        fill(d.apagar, !C && D);
        fill(d.listControl, !C);
        fill(d.distributionSide, !C);
        fill(d.confirmarCancelar, C);
        if (C) d.confirmarCancelar = true;
        changeLocked_ = C;
    }

    Apply(sbtIncluir, d.incluir);
    Apply(sbtProcurar, d.procurar);
    Apply(sbtExcluir, d.excluir);
    Apply(sbtAlterar, d.alterar);
    Apply(sbtVerificar, d.verificar);
    Apply(sbtConfirmar, d.confirmarCancelar);
    Apply(sbtCancelar, d.confirmarCancelar);
    Apply(sbtRedistribuir, d.redistribuir);
    Apply(sbtGerar, d.gerar);
    Apply(sbtApagar, d.apagar);
    Apply(btnAddPrat, d.addPrat);
    Apply(btnAddTPrat, d.addPrat);
    Apply(btnDelPrat, d.delPrat);
    Apply(btnDelTPrat, d.delPrat);
    Apply(dbnPadrao, d.listControl);

    if (d.distributionSide) {
        const bool on = *d.distributionSide;
        Consiste::SetChildEnabled(*panFilial, on);
        // The branch name is a display, never an entry field.
        edtNmFilial->SetEnabled(false);
        Consiste::SetChildEnabled(*panDbgPadrao, on);
        // The branch lock of the login context holds through every pass.
        ApplyBranchTie(edtCdFilial->Enabled());
    }

    // The menu items follow their buttons.
    const std::pair<TMenuItem*, TControl*> mirrors[] = {
        {mnuIncluir, sbtIncluir},     {mnuAlterar, sbtAlterar},
        {mnuExcluir, sbtExcluir},     {mnuProcurar, sbtProcurar},
        {mnuVerificar, sbtVerificar}, {mnuConfirmar, sbtConfirmar},
        {mnuCancelar, sbtCancelar},   {mnuRedistribuir, sbtRedistribuir},
        {mnuGerar, sbtGerar},         {mnuApagar, sbtApagar},
    };
    for (const auto& [item, button] : mirrors)
        item->SetEnabled(button->Enabled());
}

void TfrmDistEmbCard::AlteraDistribuicao() {
    if (HoldsRecord(*cdsDistCard) && !cdsDistCard->Editing()) cdsDistCard->Edit();
}

void TfrmDistEmbCard::CancelaAltDistribuicao() {
    // The header stays in edit state until the stored distribution is back: a load replaces
    // all four sets and leaves the header in browse state, while a load that fails replaces
    // nothing, so the change must stay pending with it rather than turn into a view of edits
    // that the next confirmation would save.
    try {
        GetDistribuicao(QStringLiteral("N"), true);
    } catch (...) {
        if (cdsDistCard->Editing())
            pla::Dialogs().ShowError(
                QStringLiteral("Não foi possível recarregar a distribuição do servidor: nada foi "
                               "cancelado e as alterações continuam pendentes."));
        throw;
    }
    if (cdsDistCard->Editing()) cdsDistCard->Cancel();
}

void TfrmDistEmbCard::ConfirmLeavingChange() {
    if (!cdsDistCard->Editing()) return;
    const int answer = pla::Dialogs().MessageBox(msgPadrao->Msg(QStringLiteral("CANC_DIST")),
                                                 pla::MsgDlgType::Information, pla::mbYesNo);
    if (answer != mrYes) throw Abort();
    CancelaAltDistribuicao();
}

bool TfrmDistEmbCard::CloseQuery() {
    ConfirmLeavingChange();
    return true;
}

void TfrmDistEmbCard::cdsServicosBeforeScroll(TClientDataSet&) {
    ConfirmLeavingChange();
}

void TfrmDistEmbCard::dtsDistCardStateChange(TDataSource&) {
    Habilita();
}

void TfrmDistEmbCard::cdsDistCardAfterCancel(TClientDataSet&) {
    Habilita();
}

void TfrmDistEmbCard::dtsEmbDistCardStateChange(TDataSource&) {
    Habilita();
}

void TfrmDistEmbCard::cdsEmbDistCardAfterCancel(TClientDataSet&) {
    // A discarded new packaging gives the current record back to the one before it without a
    // scroll: the dish rows would stay those of the discarded one and block every move.
    if (cdsItEmbDistCard->Filter() != DishRowFilterText()) AplicaFiltroItEmb();
    Habilita();
}

void TfrmDistEmbCard::cdsEmbDistCardAfterInsert(TClientDataSet&) {
    AlteraDistribuicao();
}

void TfrmDistEmbCard::cdsEmbDistCardAfterEdit(TClientDataSet&) {
    AlteraDistribuicao();
}

void TfrmDistEmbCard::panDbgPadraoEnter(TComponent&) {
    Habilita();
}

void TfrmDistEmbCard::panEmbDistrEnter(TComponent&) {
    Habilita();
}

void TfrmDistEmbCard::dbgPratosEmbEnter(TComponent&) {
    Habilita();
}

void TfrmDistEmbCard::sbtIncluirClick(TComponent&) {
    if (ActiveControl() == dbgEmbalagens) cdsEmbDistCard->Insert();
}

void TfrmDistEmbCard::sbtAlterarClick(TComponent&) {
    if (ActiveControl() == dbgEmbalagens)
        cdsEmbDistCard->Edit();
    else
        AlteraDistribuicao();
}

void TfrmDistEmbCard::sbtExcluirClick(TComponent&) {
    if (ActiveControl() == dbgEmbalagens && HoldsRecord(*cdsEmbDistCard)) cdsEmbDistCard->Delete();
}

void TfrmDistEmbCard::sbtProcurarClick(TComponent&) {
    const TWinControl* F = ActiveControl();
    TClientDataSet* target = nullptr;
    if (F == depCardapio || F == dbgPadrao || F == cmbFiltroGrupo || F == cmbPontosEntrega)
        target = cdsServicos.get();
    else if (F == dbgCardapio || F == dbeQtPorPessoa)
        target = cdsCardapioDisponivel.get();
    else if (F == dbgPratosEmb)
        target = cdsItEmbDistCard.get();
    else if (F == dbgEmbalagens || F == dbmObservacaoEtiqueta)
        target = cdsEmbDistCard.get();
    if (target) Procurar::Procura(*target);
}

void TfrmDistEmbCard::sbtCancelarClick(TComponent&) {
    if (cdsEmbDistCard->Editing()) {
        cdsEmbDistCard->Cancel();
        return;
    }
    const int answer = pla::Dialogs().MessageBox(msgPadrao->Msg(QStringLiteral("CANC_DIST")),
                                                 pla::MsgDlgType::Information, pla::mbYesNo);
    if (answer == mrYes) CancelaAltDistribuicao();
}

void TfrmDistEmbCard::dbgCardapioEnter(TComponent&) {
    Habilita();
}

void TfrmDistEmbCard::dbgEmbalagensEnter(TComponent&) {
    Habilita();
}

void TfrmDistEmbCard::dbeQtPorPessoaEnter(TComponent&) {
    Habilita();
}

void TfrmDistEmbCard::dbmObservacaoEtiquetaEnter(TComponent&) {
    Habilita();
}
