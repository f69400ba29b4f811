// The dialog's controls, its catalogue and the checks of the confirmation.
#include "copy_dialog/CopiaDistribuicao.h"

#include "framework/services/Consiste.h"
#include "framework/ui/ControlFactory.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMessages.h"

TfrmCopiaDistribuicao::TfrmCopiaDistribuicao(TComponent* owner) : TfrmRotiGeral(owner) {
    SetName(QStringLiteral("frmCopiaDistribuicao"));
    BuildLayout();
    msgPadrao->SetLines({
        QStringLiteral("DATA_N_INF|Data da distribuição a copiar deve ser informada."),
        QStringLiteral("DATA_IGUAL|Informe uma data diferente da data do cardápio: a "
                       "distribuição não é copiada sobre ela mesma."),
    });
    depOrigem->OnDateChange = [this](TComponent& s) { depOrigemDateChange(s); };
}

TfrmCopiaDistribuicao::~TfrmCopiaDistribuicao() {
    DestroyComponents();
}

void TfrmCopiaDistribuicao::BuildLayout() {
    SetCaption(QStringLiteral("Copiar Distribuição"));
    SetBounds(0, 0, 360, 110);
    // A part of the distribution screen, under its code.
    lblCodTela->SetCaption(QStringLiteral("PLA15400"));
    sbtHelp->SetVisible(false);

    lblOrigem = pla::MakeBoldLabel(this, grbDadosRel, "lblOrigem",
                                   QStringLiteral("Copiar a distribuição de"), 10, 26, 160);
    depOrigem = pla::MakeControl<TDateEditPlus>(this, grbDadosRel, "depOrigem");
    depOrigem->SetBounds(172, 22, 100, 21);
    depOrigem->SetTabOrder(0);
    lblOrigem->SetFocusControl(depOrigem);
    lblDiaSemana = pla::MakeControl<TLabel>(this, grbDadosRel, "lblDiaSemana");
    lblDiaSemana->SetBounds(172, 50, 100, 13);
}

std::optional<QDate> TfrmCopiaDistribuicao::Ask(const QDate& menuDate) {
    menuDate_ = menuDate;
    depOrigem->SetDate(menuDate.addDays(-7));
    if (ShowModal() != mrOk) return std::nullopt;
    return depOrigem->GetDate();
}

void TfrmCopiaDistribuicao::depOrigemDateChange(TComponent&) {
    lblDiaSemana->SetCaption(depOrigem->WeekDayName());
}

void TfrmCopiaDistribuicao::Refuse(const QString& key) {
    if (depOrigem->CanFocus()) depOrigem->SetFocus();
    Consiste::MensErro(msgPadrao->Msg(key), true);
}

void TfrmCopiaDistribuicao::sbtConfirmaClick(TComponent& sender) {
    depOrigem->CheckValidDate();
    if (depOrigem->IsEmpty()) Refuse(QStringLiteral("DATA_N_INF"));
    if (depOrigem->GetDate() == menuDate_) Refuse(QStringLiteral("DATA_IGUAL"));
    TfrmRotiGeral::sbtConfirmaClick(sender);
}
