// Construction, creation sequence, teardown and the screen's lifecycle commands.
#include "distribution/DistEmbCard.h"

#include "framework/data/Abort.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"

TfrmDistEmbCard::TfrmDistEmbCard(TComponent* owner) : TfrmPadraoGrid(owner) {
    SetName(QStringLiteral("frmDistEmbCard"));
    BuildMessages();
    BuildDataSets();
    BuildLayout();
    BuildGridColumns();
    BindEvents();
}

TfrmDistEmbCard::~TfrmDistEmbCard() {
    // Data-aware controls listen to the sources this class owns: they go first.
    DestroyComponents();
}

void TfrmDistEmbCard::FormCreate() {
    netDistEmbCard.Connect();

    groups_.Clear();
    deliveryPointKeys_.clear();

    GetGruposServicos();

    edtCdFilial->SetText(Zelvora::FiliProc);
    VdFilial(true);

    ApplyBranchTie(true);

    depCardapio->SetDate(Zelvora::Today());

    LimpaDistribuicao();
}

void TfrmDistEmbCard::FormDestroy() {
    while (netDistEmbCard.Connected())
        netDistEmbCard.Disconnect();
    TfrmPadraoGrid::FormDestroy();
}

void TfrmDistEmbCard::netDistEmbCardBeforeConnect(TNetConnection& sender) {
    sender.Host = Zelvora::WebURL;
    sender.Port = Zelvora::WebPort;
}

void TfrmDistEmbCard::sbtImprimirClick(TComponent&) {
    // The print screen opens on the branch (once validated) and date this screen shows, so
    // the day's packagings are there at once. A print module that is not there is named to
    // the user; where it was looked for is the log's.
    if (!Zelvora::ModuleInstalled(QStringLiteral("PLA15500"))) {
        pla::Dialogs().ShowError(QStringLiteral("Módulo de impressão PLA15500 não instalado."));
        return;
    }
    QVariantMap day;
    if (!edtNmFilial->Text().isEmpty()) day.insert(QStringLiteral("branch"), edtCdFilial->Text());
    if (depCardapio->GetDate().isValid())
        day.insert(QStringLiteral("date"), depCardapio->GetDate().toString(Qt::ISODate));
    Zelvora::LoadBPL(QStringLiteral("PLA15500"), day);
    // What was printed there may have renewed or left stale the loaded distribution's labels.
    VerificaEtiquetas();
}

void TfrmDistEmbCard::sbtAjudaClick(TComponent&) {
    Zelvora::ShowHelp(QStringLiteral("PLA15400"));
}

bool TfrmDistEmbCard::PendingChange() const {
    const TDataSetState state = cdsDistCard->State();
    return state == TDataSetState::Edit || state == TDataSetState::Insert;
}

void TfrmDistEmbCard::dtsPadraoStateChange(TDataSource&) {}

void TfrmDistEmbCard::cdsServicosBeforeInsert(TClientDataSet&) {
    throw Abort();
}

void TfrmDistEmbCard::cdsServicosBeforeEdit(TClientDataSet&) {
    throw Abort();
}

void TfrmDistEmbCard::cdsCardapioDisponivelBeforeInsert(TClientDataSet&) {
    throw Abort();
}

void TfrmDistEmbCard::cdsItEmbDistCardBeforeInsert(TClientDataSet&) {
    throw Abort();
}

void TfrmDistEmbCard::cdsItEmbDistCardBeforeEdit(TClientDataSet&) {
    throw Abort();
}
