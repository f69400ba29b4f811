// Loading a distribution: the four distribution sets, their filters, redistribution by the
// server and the reload on demand.
#include "distribution/DistEmbCard.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TMessages.h"
#include "framework/ui/TPanel.h"

namespace {

const QString kAvailableFilter =
    QStringLiteral("(QTCOMENSAIS > 0) OR (QTPRATO > 0) OR (QTEXTRA > 0)");

} // namespace

QString TfrmDistEmbCard::SelectedDeliveryPointKey() const {
    const int index = cmbPontosEntrega->ItemIndex();
    return index >= 0 && index < deliveryPointKeys_.size() ? deliveryPointKeys_.at(index)
                                                           : QString();
}

std::pair<QString, QString> TfrmDistEmbCard::SelectedDeliveryPoint() const {
    const QString key = SelectedDeliveryPointKey();
    const qsizetype bar = key.indexOf(QLatin1Char('_'));
    return {bar < 0 ? QString() : key.mid(bar + 1), bar < 0 ? key : key.left(bar)};
}

void TfrmDistEmbCard::GetDistribuicao(const QString& redistribute, bool keep) {
    if (!cdsServicos->Active() || cdsServicos->IsEmpty()) return;

    const auto [client, destination] = SelectedDeliveryPoint();

    pla::BusyScope busy(Zelvora::MainWindow());
    const double rememberedPackaging =
        cdsEmbDistCard->Active() && !cdsEmbDistCard->IsEmpty()
            ? cdsEmbDistCard->FieldByName(QStringLiteral("NREMBDISTCARD")).AsFloat()
            : 0.0;

    const pla::DistributionPayload payload =
        server_.GetDistribuicao(cdsServicos->FieldByName(QStringLiteral("CDFILIAL")).AsString(),
                                cdsServicos->FieldByName(QStringLiteral("CDSERVFILI")).AsString(),
                                depCardapio->GetDate(), client, destination, redistribute);

    if (!payload.message.isEmpty()) {
        const QString text = msgPadrao->Msg(payload.message);
        Consiste::MensErro(text.isEmpty() ? payload.message : text, true);
    }

    pla::DistEmbCardMethods::LoadDistribution(payload, *cdsDistCard, *cdsCardapioDisponivel,
                                              *cdsEmbDistCard, *cdsItEmbDistCard);
    newPackagingCounter_ = static_cast<std::int32_t>(cdsEmbDistCard->RecordCount());
    AplicaFiltroCardDisp();
    AplicaFiltroItEmb();
    if (keep) cdsEmbDistCard->Locate(QStringLiteral("NREMBDISTCARD"), rememberedPackaging);
    VerificaEtiquetas();
}

void TfrmDistEmbCard::LimpaDistribuicao() {
    for (TClientDataSet* ds : {cdsDistCard.get(), cdsCardapioDisponivel.get(), cdsEmbDistCard.get(),
                               cdsItEmbDistCard.get()})
        ds->EmptyDataSet();
    labelsPrint_.reset();
    panAvisoEtiquetas->SetVisible(false);
    // No command may go on acting on the distribution that is gone.
    EnablingPass(true);
}

void TfrmDistEmbCard::VdDadosCardapio() {
    const bool none = !cdsServicos->Active() || cdsServicos->IsEmpty() ||
                      cdsServicos->FieldByName(QStringLiteral("CDFILIAL")).AsString().isEmpty();
    if (!none) return;
    if (dbgPadrao->CanFocus()) dbgPadrao->SetFocus();
    Consiste::MensErro(msgPadrao->Msg(QStringLiteral("SERV_N_INF")), true);
}

void TfrmDistEmbCard::AplicaFiltroCardDisp() {
    cdsCardapioDisponivel->SetFiltered(false);
    cdsCardapioDisponivel->SetFilter(kAvailableFilter);
    cdsCardapioDisponivel->SetFiltered(true);
}

QString TfrmDistEmbCard::DishRowFilterText() const {
    double number = 0;
    if (cdsEmbDistCard->Active() && !cdsEmbDistCard->IsEmpty()) {
        const TField& f = cdsEmbDistCard->FieldByName(QStringLiteral("NREMBDISTCARD"));
        if (!f.IsNull()) number = f.AsFloat();
    }
    return QStringLiteral("NREMBDISTCARD = ") + pla::FilterExpression::NumberLiteral(number);
}

void TfrmDistEmbCard::AplicaFiltroItEmb() {
    cdsItEmbDistCard->SetFiltered(false);
    cdsItEmbDistCard->SetFilter(DishRowFilterText());
    cdsItEmbDistCard->SetFiltered(true);
}

void TfrmDistEmbCard::RequireDishRowsOfCurrentPackaging() {
    if (cdsItEmbDistCard->Filtered() && cdsItEmbDistCard->Filter() == DishRowFilterText()) return;
    Consiste::MensErro(QStringLiteral("Os pratos listados não são os da embalagem atual: nada foi "
                                      "alterado. Selecione a embalagem novamente."),
                       true);
}

void TfrmDistEmbCard::sbtRedistribuirClick(TComponent&) {
    ConfirmLeavingChange();
    const int answer =
        pla::Dialogs().MessageBox(msgPadrao->Msg(QStringLiteral("CONF_REDISTRIBUICAO")),
                                  pla::MsgDlgType::Information, pla::mbOKCancel);
    if (answer != mrOk) return;
    VdDadosCardapio();
    GetDistribuicao(QStringLiteral("S"), false);
    GetServicos(edtCdFilial->Text(), depCardapio->GetDate(), true);
    Habilita();
}

void TfrmDistEmbCard::mnuRedistribuirClick(TComponent&) {
    sbtRedistribuir->Click();
}

void TfrmDistEmbCard::sbtVerificarClick(TComponent&) {
    ConfirmLeavingChange();
    GetServicos(edtCdFilial->Text(), depCardapio->GetDate(), true);
    Habilita();
}

void TfrmDistEmbCard::panCardapioEnter(TComponent&) {
    Habilita();
    cdsCardapioDisponivelAfterScroll(*cdsCardapioDisponivel);
}
