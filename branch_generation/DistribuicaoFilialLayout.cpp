// The screen's controls (captions, sizes, colours, tab order), its dataset and branch query,
// its message catalogue and which handler runs on which event.
#include "branch_generation/DistribuicaoFilial.h"
#include "framework/data/StringField.h"
#include "framework/ui/Colors.h"
#include "framework/ui/ControlFactory.h"
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TImage.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMessages.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/ToolGlyphs.h"

using pla::MakeBoldLabel;
using pla::MakeControl;
using pla::MakeTitleBar;

namespace {

// Binds a member handler taking (TComponent&).
template <class Form> auto Notify(Form* f, void (Form::*h)(TComponent&)) {
    return [f, h](TComponent& s) { (f->*h)(s); };
}

// Binds a member handler taking (TClientDataSet&).
template <class Form> auto DataSetEvent(Form* f, void (Form::*h)(TClientDataSet&)) {
    return [f, h](TClientDataSet& ds) { (f->*h)(ds); };
}

} // namespace

void TfrmDistribuicaoFilial::BuildLayout() {
    SetName(QStringLiteral("frmDistribuicaoFilial"));
    SetCaption(QStringLiteral("Distribuição da Filial"));
    SetBounds(0, 0, 480, 450); // room for the branch name beside the wider button panel
    lblCodTela->SetCaption(QStringLiteral("PLA15420"));

    BuildBranchControls();
    BuildServiceList();
    BuildPictures();

    // The focus passes from the date through the replace box and the list to the code.
    depCardapio->SetTabOrder(0);
    chbSubstitui->SetTabOrder(1);
    panDbgPadrao->SetTabOrder(2);
    edtCdFilial->SetTabOrder(3);
}

void TfrmDistribuicaoFilial::BuildBranchControls() {
    TWinControl* box = grbDadosRel;

    BuildBranchDateControls(this, box, Arrangement::TwoRows, 280, *msgPadrao);

    chbSubstitui = MakeControl<TCheckBox>(this, box, "chbSubstitui");
    chbSubstitui->SetCaption(QStringLiteral("Substitui distribuições já existentes"));
    chbSubstitui->SetBounds(8, 74, 300, 17);
}

void TfrmDistribuicaoFilial::BuildServiceList() {
    panDbgPadrao = MakeControl<TPanel>(this, grbDadosRel, "panDbgPadrao");
    panDbgPadrao->SetBevelOuter(TBevelCut::bvNone);
    panDbgPadrao->SetBounds(2, 98, 410, 335);
    panDbgPadrao->SetAlign(TAlign::alBottom);

    panTServico = MakeTitleBar(this, panDbgPadrao, "panTServico",
                               QStringLiteral("Serviços Transportados"), 0);

    grbFiltroServico = MakeControl<TGroupBox>(this, panDbgPadrao, "grbFiltroServico");
    grbFiltroServico->SetCaption(QStringLiteral("Filtro"));
    grbFiltroServico->SetBounds(0, 19, 410, 45);
    grbFiltroServico->SetAlign(TAlign::alTop);
    lblFiltroGrupo = MakeControl<TLabel>(this, grbFiltroServico, "lblFiltroGrupo");
    lblFiltroGrupo->SetCaption(QStringLiteral("Grupo"));
    lblFiltroGrupo->SetBounds(8, 20, 40, 13);
    cmbFiltroGrupo = MakeControl<TComboBox>(this, grbFiltroServico, "cmbFiltroGrupo");
    cmbFiltroGrupo->SetBounds(52, 16, 250, 21);
    cmbFiltroGrupo->SetColor(clInfoBk);

    dbgServicos = MakeControl<TDBGrid>(this, panDbgPadrao, "dbgServicos");
    dbgServicos->SetAlign(TAlign::alClient);
    dbgServicos->SetColor(clInfoBk);
    dbgServicos->SetOptions(dgEditing | dgTitles | dgColumnResize | dgColLines | dgRowLines |
                            dgTabs | dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit);
    dbgServicos->SetDataSource(dtsServicos.get());
    // The tick column's heading is a check mark (a symbol-font "4" on the desktop).
    dbgServicos->AddColumn(QStringLiteral("IDMARCADO"), 32, QStringLiteral("\u2714"));
    dbgServicos->AddColumn(QStringLiteral("SERVICO"), 353, QStringLiteral("Serviço"));

    grbFiltroServico->SetTabOrder(0);
    dbgServicos->SetTabOrder(1);
}

void TfrmDistribuicaoFilial::BuildPictures() {
    struct Picture {
        TImage** image;
        const char* name;
        bool ticked;
    };
    const Picture pictures[] = {{&imgChecked, "imgChecked", true},
                                {&imgUnchecked, "imgUnchecked", false}};
    int top = 60;
    for (const Picture& p : pictures) {
        auto* img = MakeControl<TImage>(this, panMenu, p.name);
        img->SetPicture(pla::ToolGlyphs::CheckBox(p.ticked));
        img->SetTransparent(true);
        img->SetBounds(8, top, 16, 16);
        img->SetVisible(false);
        *p.image = img;
        top += 20;
    }
}

void TfrmDistribuicaoFilial::BuildDataSets() {
    cdsServicos = std::make_unique<TClientDataSet>(QStringLiteral("cdsServicos"));
    cdsServicos->AddField(pla::StringField("IDMARCADO", 1));
    cdsServicos->AddField(pla::StringField("CDGRUPSERV", 3, {}, false));
    {
        TFieldDef d = pla::StringField("CDFILIAL", 4, {}, false);
        d.DisplayWidth = 6;
        d.EditMask = QStringLiteral(">aaaa;0; ");
        cdsServicos->AddField(d);
    }
    cdsServicos->AddField(pla::StringField("CDSERVFILI", 5, QStringLiteral("Código")));
    cdsServicos->AddField(pla::StringField("NMSERVICO", 40, QStringLiteral("Nome")));
    {
        TFieldDef d = pla::StringField("SERVICO", 100);
        d.Kind = TFieldKind::Calculated;
        cdsServicos->AddField(d);
    }
    cdsServicos->CreateDataSet();
    dtsServicos = std::make_unique<TDataSource>(QStringLiteral("dtsServicos"), cdsServicos.get());

    BuildBranchQuery();

    RegisterDataSet(cdsServicos.get());
    RegisterDataSet(qryFilial.get());
}

void TfrmDistribuicaoFilial::BuildMessages() {
    msgPadrao->SetLines({
        QStringLiteral("FILIAL|Filial"),
        QStringLiteral("FILIAL_N_INF|Filial deve ser informada."),
        QStringLiteral("FILIAL_N_CAD|Filial informada não cadastrada."),
        QStringLiteral("N_HA_FILIAL|Não há filial cadastrada."),
        QStringLiteral("SERV_N_INF|Pelo menos um serviço deve ser selecionado para efetuar a "
                       "distribuição."),
        QStringLiteral("DTCARD_N_INF|Data do cardápio deve ser informada"),
        QStringLiteral("OPER_SUCC|Operação concluída com sucesso"),
    });
}

void TfrmDistribuicaoFilial::BindEvents() {
    using F = TfrmDistribuicaoFilial;

    OnClose = Notify(this, &F::FormClose);

    cdsServicos->OnCalcFields = DataSetEvent(this, &F::cdsServicosCalcFields);
    cdsServicos->BeforeInsert = DataSetEvent(this, &F::cdsServicosBeforeInsert);
    cdsServicos->BeforeEdit = DataSetEvent(this, &F::cdsServicosBeforeEdit);
    cdsServicos->AfterScroll = DataSetEvent(this, &F::cdsServicosAfterScroll);

    edtCdFilial->OnChange = Notify(this, &F::edtCdFilialChange);
    edtCdFilial->OnExit = Notify(this, &F::edtCdFilialExit);
    btnFilial->OnClick = Notify(this, &F::btnFilialClick);
    depCardapio->OnDateChange = Notify(this, &F::depCardapioDateChange);

    cmbFiltroGrupo->OnChange = Notify(this, &F::cmbFiltroGrupoChange);
    panDbgPadrao->OnEnter = Notify(this, &F::panDbgPadraoEnter);

    dbgServicos->OnColEnter = Notify(this, &F::dbgServicosColEnter);
    dbgServicos->OnCellClick = [this](TColumn& c) { dbgServicosCellClick(c); };
    dbgServicos->OnTitleClick = [this](TColumn& c) { dbgServicosTitleClick(c); };
    dbgServicos->OnKeyDown = [this](TComponent& s, int& key, TShiftState shift) {
        dbgServicosKeyDown(s, key, shift);
    };
    dbgServicos->OnDrawColumnCell = [this](TComponent& s, const QRect& r, int col, TColumn& c,
                                           TGridDrawState state) {
        dbgServicosDrawColumnCell(s, r, col, c, state);
    };
}
