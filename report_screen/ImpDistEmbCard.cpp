// Construction, life cycle and the opening of the print screen; branch, date and the day.
#include "report_screen/ImpDistEmbCard.h"

#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TMessages.h"
#include "remote/DistEmbCardMethods.h"
#include "remote/DistributionDayReader.h"
#include "report/ReportTexts.h"

#include <QSet>

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
    groups_.Fill(*cmbFiltroGrupo, pla::DistEmbCardMethods(netImpDistEmbCard).GetGruposServico());
}

void TfrmImpDistEmbCard::FormDestroy() {
    netImpDistEmbCard.Disconnect();
}

void TfrmImpDistEmbCard::FormClose(TComponent&) {
    // Hidden, never destroyed: the framework hides the form once this handler returns.
}

int TfrmImpDistEmbCard::Abre(const QString& branch, const QDate& date) {
    edtCdFilial->SetText(branch.isEmpty() || Zelvora::ModuFili ? Zelvora::FiliProc : branch);
    ApplyBranchTie(true);
    depCardapio->SetDate(date.isValid() ? date : Zelvora::Today());
    depCardapioDateChange(*depCardapio);
    edtHoraPreparo->SetText(QTime::currentTime().toString(QStringLiteral("HH:mm")));
    ForgetDay();
    cmbConteudo->SetItemIndex(0);
    // A day that cannot be read has told the user why; the screen opens to correct it.
    // Every opening starts on the list when the day is there, on the date otherwise.
    FocusControl(pla::Dispatch([this] { CarregaDia(); }) ? static_cast<TWinControl*>(dbgServicos)
                                                         : depCardapio);
    return ShowModal();
}

void TfrmImpDistEmbCard::VdImpressao() {
    ValidateBranch(true);
    RequireDate(QStringLiteral("DTCARD_N_INF"));
}

void TfrmImpDistEmbCard::CarregaDia() {
    VdImpressao();
    const QString branch = edtCdFilial->Text();
    const QDate date = depCardapio->GetDate();
    if (day_ && day_->branch == branch && day_->date == date) return;
    day_ = pla::DistributionDayReader::Read(netImpDistEmbCard, branch, edtNmFilial->Text(), date);
    prints_ = pla::DistEmbCardMethods(netImpDistEmbCard).GetEtiquetasImpressas(branch, date);
    FillServices();
    FillPoints();
    const QStringList stale = EtiquetasDesatualizadas();
    if (!stale.isEmpty())
        pla::Dialogs().ShowWarning(
            QStringLiteral("Etiquetas impressas antes da última alteração:\n%1")
                .arg(stale.join(QLatin1Char('\n'))));
}

QStringList TfrmImpDistEmbCard::EtiquetasDesatualizadas() const {
    QStringList out;
    if (!day_) return out;
    QSet<qint64> seen;
    for (const pla::DayPackaging& p : day_->packagings) {
        const auto printed = prints_.constFind(p.distribution);
        if (printed == prints_.constEnd() || printed->version >= p.version ||
            seen.contains(p.distribution))
            continue;
        seen.insert(p.distribution);
        out << QStringLiteral("%1 · %2 (impressas na versão %3; a distribuição está na versão %4)")
                   .arg(pla::ReportTexts::Service(*day_, p.service), pla::ReportTexts::Point(p))
                   .arg(printed->version)
                   .arg(p.version);
    }
    return out;
}

void TfrmImpDistEmbCard::ForgetDay() {
    day_.reset();
    prints_.clear();
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
    LookUpBranch();
}

void TfrmImpDistEmbCard::VdPreparo() {
    dpePreparo->CheckValidDate();
    if (Preparo().isValid()) return;
    (dpePreparo->GetDate().isValid() ? static_cast<TWinControl*>(edtHoraPreparo) : dpePreparo)
        ->FocusIfPossible();
    Consiste::MensErro(msgPadrao->Msg(QStringLiteral("PREPARO_INV")), true);
}

void TfrmImpDistEmbCard::depCardapioDateChange(TComponent&) {
    ShowWeekDay();
    const QDate date = depCardapio->GetDate();
    // The food of a menu is prepared on its day unless the user says otherwise.
    if (date.isValid()) dpePreparo->SetDate(date);
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
