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

#include <QLocale>

namespace {

const QString kAvailableFilter =
    QStringLiteral("(QTCOMENSAIS > 0) OR (QTPRATO > 0) OR (QTEXTRA > 0)");

// The shortest decimal text of a packaging number, as the filter language reads it.
QString NumberText(double v) {
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

} // namespace

QString TfrmDistEmbCard::SelectedDeliveryPointKey() const {
    const int index = cmbPontosEntrega->ItemIndex();
    return index >= 0 && index < deliveryPointKeys_.size() ? deliveryPointKeys_.at(index)
                                                           : QString();
}

void TfrmDistEmbCard::GetDistribuicao(const QString& redistribute, bool keep) {
    if (!cdsServicos->Active() || cdsServicos->IsEmpty()) return;

    const QString key = SelectedDeliveryPointKey();
    const qsizetype bar = key.indexOf(QLatin1Char('_'));
    const QString destination = bar < 0 ? key : key.left(bar);
    const QString client = bar < 0 ? QString() : key.mid(bar + 1);

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
}

void TfrmDistEmbCard::LimpaDistribuicao() {
    for (TClientDataSet* ds : {cdsDistCard.get(), cdsCardapioDisponivel.get(), cdsEmbDistCard.get(),
                               cdsItEmbDistCard.get()})
        ds->EmptyDataSet();
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

void TfrmDistEmbCard::AplicaFiltroItEmb() {
    cdsItEmbDistCard->SetFiltered(false);
    QString number;
    if (cdsEmbDistCard->Active() && !cdsEmbDistCard->IsEmpty()) {
        const TField& f = cdsEmbDistCard->FieldByName(QStringLiteral("NREMBDISTCARD"));
        if (!f.IsNull()) number = NumberText(f.AsFloat());
    }
    cdsItEmbDistCard->SetFilter(QStringLiteral("NREMBDISTCARD = ") +
                                (number.isEmpty() ? QStringLiteral("0") : number));
    cdsItEmbDistCard->SetFiltered(true);
}

void TfrmDistEmbCard::sbtRedistribuirClick(TComponent&) {
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
    GetServicos(edtCdFilial->Text(), depCardapio->GetDate(), true);
    Habilita();
}

void TfrmDistEmbCard::panCardapioEnter(TComponent&) {
    Habilita();
    cdsCardapioDisponivelAfterScroll(*cdsCardapioDisponivel);
}
