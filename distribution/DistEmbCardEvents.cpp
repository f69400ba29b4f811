// Which handler runs on which event. One place, so a new handler is one more line here.
#include "distribution/DistEmbCard.h"
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBMemo.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TMenuItem.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/TSpeedButton.h"

namespace {

// Binds a member handler taking (TComponent&).
template <class Form> auto Notify(Form* f, void (Form::*h)(TComponent&)) {
    return [f, h](TComponent& s) { (f->*h)(s); };
}

// Binds a member handler taking (TClientDataSet&).
template <class Form> auto DataSetEvent(Form* f, void (Form::*h)(TClientDataSet&)) {
    return [f, h](TClientDataSet& ds) { (f->*h)(ds); };
}

// Binds a member handler taking (TDataSource&).
template <class Form> auto SourceEvent(Form* f, void (Form::*h)(TDataSource&)) {
    return [f, h](TDataSource& s) { (f->*h)(s); };
}

} // namespace

void TfrmDistEmbCard::BindEvents() {
    using F = TfrmDistEmbCard;

    netDistEmbCard.BeforeConnect = [this](TNetConnection& c) { netDistEmbCardBeforeConnect(c); };

    // Datasets and sources.
    dtsPadrao()->OnStateChange = SourceEvent(this, &F::dtsPadraoStateChange);
    cdsServicos->OnCalcFields = DataSetEvent(this, &F::cdsServicosCalcFields);
    cdsServicos->BeforeInsert = DataSetEvent(this, &F::cdsServicosBeforeInsert);
    cdsServicos->BeforeEdit = DataSetEvent(this, &F::cdsServicosBeforeEdit);
    cdsServicos->BeforeScroll = DataSetEvent(this, &F::cdsServicosBeforeScroll);
    cdsServicos->AfterScroll = DataSetEvent(this, &F::cdsServicosAfterScroll);
    cdsCardapioDisponivel->BeforeInsert = DataSetEvent(this, &F::cdsCardapioDisponivelBeforeInsert);
    cdsItEmbDistCard->BeforeInsert = DataSetEvent(this, &F::cdsItEmbDistCardBeforeInsert);
    cdsItEmbDistCard->BeforeEdit = DataSetEvent(this, &F::cdsItEmbDistCardBeforeEdit);
    cdsDistCard->AfterCancel = DataSetEvent(this, &F::cdsDistCardAfterCancel);
    dtsDistCard->OnStateChange = SourceEvent(this, &F::dtsDistCardStateChange);
    cdsEmbDistCard->AfterInsert = DataSetEvent(this, &F::cdsEmbDistCardAfterInsert);
    cdsEmbDistCard->AfterEdit = DataSetEvent(this, &F::cdsEmbDistCardAfterEdit);
    cdsEmbDistCard->AfterCancel = DataSetEvent(this, &F::cdsEmbDistCardAfterCancel);
    dtsEmbDistCard->OnStateChange = SourceEvent(this, &F::dtsEmbDistCardStateChange);

    // Branch and date.
    edtCdFilial->OnEnter = Notify(this, &F::edtCdFilialEnter);
    edtCdFilial->OnChange = Notify(this, &F::edtCdFilialChange);
    edtCdFilial->OnExit = Notify(this, &F::edtCdFilialExit);
    btnFilial->OnClick = Notify(this, &F::btnFilialClick);
    depCardapio->OnChange = Notify(this, &F::depCardapioChange);
    depCardapio->OnDateChange = Notify(this, &F::depCardapioDateChange);
    depCardapio->OnExit = Notify(this, &F::depCardapioExit);
    panFilial->OnExit = Notify(this, &F::panFilialExit);

    // Services, filter and delivery points.
    cmbFiltroGrupo->OnChange = Notify(this, &F::cmbFiltroGrupoChange);
    cmbPontosEntrega->OnChange = Notify(this, &F::cmbPontosEntregaChange);
    dbgPadrao->OnColEnter = Notify(this, &F::dbgPadraoColEnter);
    dbgPadrao->OnDrawColumnCell = [this](TComponent& s, const QRect& r, int col, TColumn& c,
                                         TGridDrawState st) {
        dbgPadraoDrawColumnCell(s, r, col, c, st);
    };
    dbgPadrao->OnKeyDown = [this](TComponent& s, int& key, TShiftState shift) {
        dbgPadraoKeyDown(s, key, shift);
    };

    // Distribution side.
    panCardapio->OnEnter = Notify(this, &F::panCardapioEnter);
    panDbgPadrao->OnEnter = Notify(this, &F::panDbgPadraoEnter);
    panEmbDistr->OnEnter = Notify(this, &F::panEmbDistrEnter);
    dbgPratosEmb->OnEnter = Notify(this, &F::dbgPratosEmbEnter);
    dbgCardapio->OnEnter = Notify(this, &F::dbgCardapioEnter);
    // A double click on a dish is the single add, when the add button would take it.
    dbgCardapio->OnDblClick = [this](TComponent&) { btnAddPrat->UserClick(); };
    dbgEmbalagens->OnEnter = Notify(this, &F::dbgEmbalagensEnter);
    dbeQtPorPessoa->OnEnter = Notify(this, &F::dbeQtPorPessoaEnter);
    dbmObservacaoEtiqueta->OnEnter = Notify(this, &F::dbmObservacaoEtiquetaEnter);

    // --- packaging editing ---
    auto bindKeyDown = [this](TWinControl* c, void (F::*h)(TComponent&, int&, TShiftState)) {
        c->OnKeyDown = [this, h](TComponent& s, int& key, TShiftState shift) {
            (this->*h)(s, key, shift);
        };
    };
    auto bindKeyPress = [this](TWinControl* c, void (F::*h)(TComponent&, QChar&)) {
        c->OnKeyPress = [this, h](TComponent& s, QChar& key) { (this->*h)(s, key); };
    };
    cdsEmbDistCard->BeforeInsert = DataSetEvent(this, &F::cdsEmbDistCardBeforeInsert);
    cdsEmbDistCard->BeforeEdit = DataSetEvent(this, &F::cdsEmbDistCardBeforeEdit);
    cdsEmbDistCard->OnNewRecord = DataSetEvent(this, &F::cdsEmbDistCardNewRecord);
    cdsEmbDistCard->BeforePost = DataSetEvent(this, &F::cdsEmbDistCardBeforePost);
    cdsEmbDistCard->BeforeDelete = DataSetEvent(this, &F::cdsEmbDistCardBeforeDelete);
    cdsEmbDistCard->AfterDelete = DataSetEvent(this, &F::cdsEmbDistCardAfterDelete);
    cdsEmbDistCard->AfterScroll = DataSetEvent(this, &F::cdsEmbDistCardAfterScroll);
    cdsEmbDistCard->OnCalcFields = DataSetEvent(this, &F::cdsEmbDistCardCalcFields);
    cdsEmbDistCard->FieldByName(QStringLiteral("CDCONTAINER")).OnChange = [this](TField& f) {
        cdsEmbDistCardCDCONTAINERChange(f);
    };
    cdsEmbDistCard->FieldByName(QStringLiteral("IDPROPOSITO")).OnGetText =
        [this](TField& f, QString& text, bool display) {
            cdsEmbDistCardIDPROPOSITOGetText(f, text, display);
        };
    dbgEmbalagens->OnColEnter = Notify(this, &F::dbgEmbalagensColEnter);
    dbgEmbalagens->OnColExit = Notify(this, &F::dbgEmbalagensColExit);
    dbgEmbalagens->OnEditButtonClick = Notify(this, &F::dbgEmbalagensEditButtonClick);
    bindKeyDown(dbgEmbalagens, &F::dbgEmbalagensKeyDown);
    bindKeyPress(dbgEmbalagens, &F::dbgEmbalagensKeyPress);
    panEmbDistr->OnExit = Notify(this, &F::panEmbDistrExit);

    cdsCardapioDisponivel->BeforeEdit = DataSetEvent(this, &F::cdsCardapioDisponivelBeforeEdit);
    cdsCardapioDisponivel->AfterEdit = DataSetEvent(this, &F::cdsCardapioDisponivelAfterEdit);
    cdsCardapioDisponivel->BeforePost = DataSetEvent(this, &F::cdsCardapioDisponivelBeforePost);
    cdsCardapioDisponivel->AfterScroll = DataSetEvent(this, &F::cdsCardapioDisponivelAfterScroll);
    bindKeyDown(dbgCardapio, &F::dbgCardapioKeyDown);
    bindKeyPress(dbgCardapio, &F::dbgCardapioKeyPress);
    bindKeyPress(dbeQtPorPessoa, &F::dbeQtPorPessoaKeyPress);
    grbInfoPrat->OnExit = Notify(this, &F::grbInfoPratExit);

    cdsItEmbDistCard->AfterInsert = DataSetEvent(this, &F::cdsItEmbDistCardAfterInsert);
    cdsItEmbDistCard->AfterEdit = DataSetEvent(this, &F::cdsItEmbDistCardAfterEdit);
    cdsItEmbDistCard->OnNewRecord = DataSetEvent(this, &F::cdsItEmbDistCardNewRecord);
    cdsItEmbDistCard->AfterPost = DataSetEvent(this, &F::cdsItEmbDistCardAfterPost);
    cdsItEmbDistCard->AfterScroll = DataSetEvent(this, &F::cdsItEmbDistCardAfterScroll);
    dbgPratosEmb->OnColEnter = Notify(this, &F::dbgPratosEmbColEnter);
    dbgPratosEmb->OnCellClick = [this](TColumn& c) { dbgPratosEmbCellClick(c); };
    dbgPratosEmb->OnDrawColumnCell = [this](TComponent& s, const QRect& r, int col, TColumn& c,
                                            TGridDrawState st) {
        dbgPratosEmbDrawColumnCell(s, r, col, c, st);
    };
    bindKeyDown(dbgPratosEmb, &F::dbgPratosEmbKeyDown);

    btnAddPrat->OnClick = Notify(this, &F::btnAddPratClick);
    btnAddTPrat->OnClick = Notify(this, &F::btnAddTPratClick);
    btnDelPrat->OnClick = Notify(this, &F::btnDelPratClick);
    btnDelTPrat->OnClick = Notify(this, &F::btnDelTPratClick);
    // --- end packaging editing ---

    // The screen's own commands.
    sbtRedistribuir->OnClick = Notify(this, &F::sbtRedistribuirClick);
    mnuRedistribuir->OnClick = Notify(this, &F::mnuRedistribuirClick);
    mnuCopiar->OnClick = Notify(this, &F::mnuCopiarClick);
    // --- saving ---
    sbtApagar->OnClick = Notify(this, &F::sbtApagarClick);
    mnuApagar->OnClick = Notify(this, &F::mnuApagarClick);
    sbtGerar->OnClick = Notify(this, &F::sbtGerarClick);
    mnuGerar->OnClick = Notify(this, &F::mnuGerarClick);
    // --- end saving ---
    mnuReimprimir->OnClick = Notify(this, &F::mnuReimprimirClick);
}
