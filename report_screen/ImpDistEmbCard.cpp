// Construction, life cycle and the opening of the print screen; branch, date and the day.
#include "report_screen/ImpDistEmbCard.h"

#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Pesquisa.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMessages.h"
#include "remote/DistributionDayReader.h"
#include "report/ReportTexts.h"
#include "remote/DistEmbCardMethods.h"

namespace {

// A hidden form only remembers the focus; a shown one refuses a control it cannot focus.
void FocusIfPossible(TWinControl* c) {
    TForm* form = c->ParentForm();
    if (form && (!form->Showing() || c->CanFocus())) c->SetFocus();
}

} // namespace

TfrmImpDistEmbCard::TfrmImpDistEmbCard(TComponent* owner) : TfrmRotiGeral(owner) {
    BuildDataSets();
    BuildLayout();
    BuildMessages();
    BindEvents();
}

TfrmImpDistEmbCard::~TfrmImpDistEmbCard() {
    // Grids and edits listen to the data sources kept as members: they go first.
    DestroyComponents();
}

void TfrmImpDistEmbCard::FormCreate() {
    netImpDistEmbCard.Connect();
    const QVector<pla::ServiceGroup> groups =
        pla::DistEmbCardMethods(netImpDistEmbCard).GetGruposServico();
    cmbFiltroGrupo->Clear();
    groupCodes_.clear();
    cmbFiltroGrupo->AddItem(QString());
    groupCodes_.append(QString());
    for (const pla::ServiceGroup& g : groups) {
        cmbFiltroGrupo->AddItem(g.name);
        groupCodes_.append(g.code);
    }
    cmbFiltroGrupo->SetItemIndex(0);
}

void TfrmImpDistEmbCard::FormDestroy() {
    netImpDistEmbCard.Disconnect();
}

void TfrmImpDistEmbCard::FormClose(TComponent&) {
    // Hidden, never destroyed: the framework hides the form once this handler returns.
}

int TfrmImpDistEmbCard::Abre(const QString& branch, const QDate& date) {
    edtCdFilial->SetText(branch.isEmpty() || Zelvora::ModuFili ? Zelvora::FiliProc : branch);
    edtCdFilial->SetEnabled(!Zelvora::ModuFili);
    btnFilial->SetEnabled(edtCdFilial->Enabled());
    depCardapio->SetDate(date.isValid() ? date : Zelvora::Today());
    depCardapioDateChange(*depCardapio);
    ForgetDay();
    cmbConteudo->SetItemIndex(0);
    // A day that cannot be read has told the user why; the screen opens to correct it.
    // Every opening starts on the list when the day is there, on the date otherwise.
    FocusControl(pla::Dispatch([this] { CarregaDia(); }) ? static_cast<TWinControl*>(dbgServicos)
                                                         : depCardapio);
    return ShowModal();
}

void TfrmImpDistEmbCard::VdImpressao() {
    const QString typed = edtCdFilial->Text();
    if (Consiste::EmptyString(typed)) {
        FocusIfPossible(edtCdFilial);
        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("FILIAL_N_INF")), true);
    }
    const QString code = Consiste::Ajusta(typed, 4);
    if (code != typed) edtCdFilial->SetText(code);
    qryFilial->Close();
    qryFilial->SetConnectionName(Zelvora::DatabaseConnectionName());
    qryFilial->SetParam(QStringLiteral("P_CDFILIAL"), code);
    qryFilial->SetParam(QStringLiteral("P_TCDFILIAL"), QVariant());
    qryFilial->Open();
    if (qryFilial->IsEmpty()) {
        FocusIfPossible(edtCdFilial);
        // Selected, so that the next code typed replaces the wrong one.
        edtCdFilial->SelectAll();
        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("FILIAL_N_CAD")), true);
    }
    edtNmFilial->SetText(qryFilial->FieldByName(QStringLiteral("NMFILIAL")).AsString());

    depCardapio->CheckValidDate();
    if (depCardapio->IsEmpty()) {
        FocusIfPossible(depCardapio);
        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("DTCARD_N_INF")), true);
    }
}

void TfrmImpDistEmbCard::CarregaDia() {
    VdImpressao();
    const QString branch = edtCdFilial->Text();
    const QDate date = depCardapio->GetDate();
    if (day_ && day_->branch == branch && day_->date == date) return;
    day_ = pla::DistributionDayReader::Read(netImpDistEmbCard, branch, edtNmFilial->Text(), date);
    FillServices();
    FillPoints();
}

void TfrmImpDistEmbCard::ForgetDay() {
    day_.reset();
    toldWithout_.clear();
    cdsServicos->EmptyDataSet();
    cmbPontoEntrega->Clear();
    pointKeys_.clear();
}

void TfrmImpDistEmbCard::edtCdFilialChange(TComponent&) {
    edtNmFilial->SetText(QString());
    ForgetDay();
}

void TfrmImpDistEmbCard::btnFilialClick(TComponent&) {
    qryFilial->Close();
    qryFilial->SetConnectionName(Zelvora::DatabaseConnectionName());
    qryFilial->SetParam(QStringLiteral("P_CDFILIAL"), QVariant());
    qryFilial->SetParam(QStringLiteral("P_TCDFILIAL"), QStringLiteral("T"));
    qryFilial->Open();
    const QString caption = msgPadrao->Msg(QStringLiteral("FILIAL")) + QLatin1Char('|') +
                            msgPadrao->Msg(QStringLiteral("N_HA_FILIAL"));
    if (Pesquisa::Pesquisar(*dtsFilial, caption, false, true))
        edtCdFilial->SetText(qryFilial->FieldByName(QStringLiteral("CDFILIAL")).AsString());
}

void TfrmImpDistEmbCard::depCardapioDateChange(TComponent&) {
    const QDate date = depCardapio->GetDate();
    lblDiaDaSemanaCard->SetCaption(
        date.isValid() ? Consiste::DiaSemana(QString::number(date.dayOfWeek() % 7 + 1))
                       : QString());
    if (day_ && day_->date != date) ForgetDay();
}

void TfrmImpDistEmbCard::panDbgPadraoEnter(TComponent&) {
    CarregaDia();
}

void TfrmImpDistEmbCard::FillPoints() {
    cmbPontoEntrega->Clear();
    pointKeys_.clear();
    cmbPontoEntrega->AddItem(QStringLiteral("Todos"));
    pointKeys_.append(QString());
    for (const pla::DayPackaging& p : day_->packagings) {
        if (pointKeys_.contains(p.PointKey())) continue;
        pointKeys_.append(p.PointKey());
        cmbPontoEntrega->AddItem(pla::ReportTexts::Point(p));
    }
    cmbPontoEntrega->SetItemIndex(0);
}
