// The print screen's controls (captions, sizes, tab order), its dataset and branch query, its
// message catalogue and which handler runs on which event.
#include "framework/services/Zelvora.h"
#include "framework/ui/Colors.h"
#include "framework/ui/ControlFactory.h"
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TButton.h"
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
#include "report/LabelStock.h"
#include "report_screen/ImpDistEmbCard.h"

using pla::MakeBoldLabel;
using pla::MakeControl;

namespace {

TFieldDef Field(const char* name, TFieldType type, int size, const QString& label = {},
                bool visible = true) {
    TFieldDef d;
    d.Name = QString::fromLatin1(name);
    d.Type = type;
    d.Size = size;
    d.DisplayLabel = label;
    d.Visible = visible;
    return d;
}

template <class Form> auto Notify(Form* f, void (Form::*h)(TComponent&)) {
    return [f, h](TComponent& s) { (f->*h)(s); };
}

template <class Form> auto DataSetEvent(Form* f, void (Form::*h)(TClientDataSet&)) {
    return [f, h](TClientDataSet& ds) { (f->*h)(ds); };
}

} // namespace

void TfrmImpDistEmbCard::BuildLayout() {
    SetName(QStringLiteral("frmImpDistEmbCard"));
    SetCaption(QStringLiteral("Impressão da Distribuição"));
    // The list and the output box are 478 wide: the client area beside the button column
    // holds them whole.
    SetBounds(0, 0, 560, 578);
    lblCodTela->SetCaption(QStringLiteral("PLA15500"));
    // The three output buttons do the work; there is nothing to confirm.
    sbtConfirma->SetVisible(false);

    BuildBranchControls();
    BuildServiceList();
    BuildOutputControls();

    edtCdFilial->SetTabOrder(0);
    depCardapio->SetTabOrder(1);
    panDbgPadrao->SetTabOrder(2);
    grbImpressao->SetTabOrder(3);
}

void TfrmImpDistEmbCard::BuildBranchControls() {
    TWinControl* box = grbDadosRel;
    BuildBranchDateControls(this, box, Arrangement::TwoRows, 300, *msgPadrao);
}

void TfrmImpDistEmbCard::BuildServiceList() {
    panDbgPadrao = MakeControl<TPanel>(this, grbDadosRel, "panDbgPadrao");
    panDbgPadrao->SetBevelOuter(TBevelCut::bvNone);
    panDbgPadrao->SetBounds(2, 74, 478, 270);

    panTServico =
        pla::MakeTitleBar(this, panDbgPadrao, "panTServico", QStringLiteral("Serviços"), 0);

    grbFiltroServico = MakeControl<TGroupBox>(this, panDbgPadrao, "grbFiltroServico");
    grbFiltroServico->SetCaption(QStringLiteral("Filtro"));
    grbFiltroServico->SetBounds(0, 19, 478, 45);
    grbFiltroServico->SetAlign(TAlign::alTop);
    lblFiltroGrupo = MakeControl<TLabel>(this, grbFiltroServico, "lblFiltroGrupo");
    lblFiltroGrupo->SetCaption(QStringLiteral("Grupo"));
    lblFiltroGrupo->SetBounds(8, 20, 32, 13);
    cmbFiltroGrupo = MakeControl<TComboBox>(this, grbFiltroServico, "cmbFiltroGrupo");
    cmbFiltroGrupo->SetBounds(44, 16, 250, 21);
    cmbFiltroGrupo->SetColor(clInfoBk);
    lblFiltroGrupo->SetFocusControl(cmbFiltroGrupo);

    dbgServicos = MakeControl<TDBGrid>(this, panDbgPadrao, "dbgServicos");
    dbgServicos->SetAlign(TAlign::alClient);
    dbgServicos->SetColor(clInfoBk);
    dbgServicos->SetOptions(dgTitles | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                            dgAlwaysShowSelection);
    dbgServicos->SetDataSource(dtsServicos.get());
    dbgServicos->SetAccessibleName(panTServico->Caption());
    // The tick is drawn as a picture; a screen reader says it in words.
    dbgServicos->AddColumn(QStringLiteral("IDMARCADO"), 32, QStringLiteral("\u2714"))
        .SetSpokenText([](const QString& ticked) {
            return ticked == QLatin1String("S") ? QStringLiteral("Marcado")
                                                : QStringLiteral("Desmarcado");
        });
    dbgServicos->AddColumn(QStringLiteral("SERVICO"), 330, QStringLiteral("Serviço"));
    dbgServicos->AddColumn(QStringLiteral("QTEMBALAGENS"), 80, QStringLiteral("Embalagens"));
    grbFiltroServico->SetTabOrder(0);
    dbgServicos->SetTabOrder(1);

    // Tick-box pictures for the tick column, hidden in the button panel.
    int top = 60;
    for (auto [image, name, ticked] : {std::tuple{&imgChecked, "imgChecked", true},
                                       std::tuple{&imgUnchecked, "imgUnchecked", false}}) {
        auto* img = MakeControl<TImage>(this, panMenu, name);
        img->SetPicture(pla::ToolGlyphs::CheckBox(ticked));
        img->SetTransparent(true);
        img->SetBounds(8, top, 16, 16);
        img->SetVisible(false);
        *image = img;
        top += 20;
    }
}

void TfrmImpDistEmbCard::BuildOutputControls() {
    grbImpressao = MakeControl<TGroupBox>(this, grbDadosRel, "grbImpressao");
    grbImpressao->SetCaption(QStringLiteral("Impressão"));
    grbImpressao->SetBounds(2, 348, 478, 198);

    // The fields start right of the longest label, "Impressora de etiquetas".
    constexpr int kLabelWidth = 138, kField = 150, kFieldWidth = 468 - kField;
    auto combo = [this](TLabel*& label, TComboBox*& cmb, const char* labelName,
                        const char* comboName, const QString& caption, int top) {
        label = MakeControl<TLabel>(this, grbImpressao, labelName);
        label->SetCaption(caption);
        label->SetBounds(8, top + 4, kLabelWidth, 13);
        cmb = MakeControl<TComboBox>(this, grbImpressao, comboName);
        cmb->SetBounds(kField, top, kFieldWidth, 21);
        cmb->SetColor(clInfoBk);
        label->SetFocusControl(cmb);
    };
    combo(lblPontoEntrega, cmbPontoEntrega, "lblPontoEntrega", "cmbPontoEntrega",
          QStringLiteral("Ponto de entrega"), 18);
    combo(lblConteudo, cmbConteudo, "lblConteudo", "cmbConteudo", QStringLiteral("Imprimir"), 44);
    combo(lblEtiqueta, cmbEtiqueta, "lblEtiqueta", "cmbEtiqueta", QStringLiteral("Etiqueta"), 70);
    cmbConteudo->SetItems({QStringLiteral("Etiquetas e romaneios"), QStringLiteral("Etiquetas"),
                           QStringLiteral("Romaneios")});
    cmbConteudo->SetItemIndex(0);
    QStringList stocks;
    for (const pla::LabelStock& s : pla::LabelStock::All())
        stocks.push_back(s.caption);
    cmbEtiqueta->SetItems(stocks);
    cmbEtiqueta->SetItemIndex(0);

    lblPreparo = MakeControl<TLabel>(this, grbImpressao, "lblPreparo");
    lblPreparo->SetCaption(QStringLiteral("Preparado em"));
    lblPreparo->SetBounds(8, 100, kLabelWidth, 13);
    dpePreparo = MakeControl<TDateEditPlus>(this, grbImpressao, "dpePreparo");
    dpePreparo->SetBounds(kField, 96, 100, 21);
    dpePreparo->SetColor(clInfoBk);
    edtHoraPreparo = MakeControl<TEdit>(this, grbImpressao, "edtHoraPreparo");
    edtHoraPreparo->SetBounds(kField + 104, 96, 50, 21);
    edtHoraPreparo->SetMaxLength(5);
    edtHoraPreparo->SetColor(clInfoBk);
    edtHoraPreparo->SetAccessibleName(QStringLiteral("Hora do preparo"));
    lblPreparo->SetFocusControl(dpePreparo);

    lblImpressoraEtiquetas = MakeControl<TLabel>(this, grbImpressao, "lblImpressoraEtiquetas");
    lblImpressoraEtiquetas->SetCaption(QStringLiteral("Impressora de etiquetas"));
    lblImpressoraEtiquetas->SetBounds(8, 126, kLabelWidth, 13);
    edtImpressoraEtiquetas = MakeControl<TEdit>(this, grbImpressao, "edtImpressoraEtiquetas");
    edtImpressoraEtiquetas->SetBounds(kField, 122, 120, 21);
    edtImpressoraEtiquetas->SetColor(clInfoBk);
    lblImpressoraEtiquetas->SetFocusControl(edtImpressoraEtiquetas);
    cmbDpiEtiquetas = MakeControl<TComboBox>(this, grbImpressao, "cmbDpiEtiquetas");
    cmbDpiEtiquetas->SetBounds(kField + 124, 122, 74, 21);
    cmbDpiEtiquetas->SetColor(clInfoBk);
    cmbDpiEtiquetas->SetItems({QStringLiteral("203 dpi"), QStringLiteral("300 dpi")});
    cmbDpiEtiquetas->SetItemIndex(0);
    cmbDpiEtiquetas->SetAccessibleName(QStringLiteral("Resolução da impressora de etiquetas"));
    btnImprimirEtiquetas = MakeControl<TButton>(this, grbImpressao, "btnImprimirEtiquetas");
    btnImprimirEtiquetas->SetCaption(QStringLiteral("Imprimir etiquetas"));
    btnImprimirEtiquetas->SetBounds(kField + 202, 122, 468 - kField - 202, 23);

    chbAlteradas = MakeControl<TCheckBox>(this, grbImpressao, "chbAlteradas");
    chbAlteradas->SetCaption(QStringLiteral("Só as alteradas desde a última impressão"));
    chbAlteradas->SetBounds(kField, 150, kFieldWidth, 17);

    auto button = [this](const char* name, const QString& caption, int left) {
        auto* b = MakeControl<TButton>(this, grbImpressao, name);
        b->SetCaption(caption);
        b->SetBounds(left, 172, 100, 23);
        return b;
    };
    btnVisualizar = button("btnVisualizar", QStringLiteral("Visualizar"), kField);
    btnImprimir = button("btnImprimir", QStringLiteral("Imprimir"), kField + 109);
    btnGerarPdf = button("btnGerarPdf", QStringLiteral("Gerar PDF"), 368);

    // The printer, resolution and roll this workstation printed on last.
    const pla::LabelPrinterChoice choice = pla::LabelPrinterChoice::Load();
    edtImpressoraEtiquetas->SetText(choice.printer);
    cmbDpiEtiquetas->SetItemIndex(choice.dpi == 300 ? 1 : 0);
    if (!choice.printer.isEmpty())
        for (int i = 0; i < pla::LabelStock::All().size(); ++i)
            if (pla::LabelStock::All()[i].name == choice.stock) cmbEtiqueta->SetItemIndex(i);
}

void TfrmImpDistEmbCard::BuildDataSets() {
    cdsServicos = std::make_unique<TClientDataSet>(QStringLiteral("cdsServicos"));
    cdsServicos->AddField(Field("IDMARCADO", TFieldType::String, 1));
    cdsServicos->AddField(Field("CDGRUPSERV", TFieldType::String, 3, {}, false));
    cdsServicos->AddField(Field("CDSERVFILI", TFieldType::String, 5, QStringLiteral("Código")));
    cdsServicos->AddField(Field("NMSERVICO", TFieldType::String, 40, QStringLiteral("Nome")));
    cdsServicos->AddField(Field("QTEMBALAGENS", TFieldType::Integer, 0));
    TFieldDef calc = Field("SERVICO", TFieldType::String, 100);
    calc.Kind = TFieldKind::Calculated;
    cdsServicos->AddField(calc);
    cdsServicos->CreateDataSet();
    dtsServicos = std::make_unique<TDataSource>(QStringLiteral("dtsServicos"), cdsServicos.get());

    BuildBranchQuery();

    RegisterDataSet(cdsServicos.get());
    RegisterDataSet(qryFilial.get());
}

void TfrmImpDistEmbCard::BuildMessages() {
    msgPadrao->SetLines({
        QStringLiteral("FILIAL|Filial"),
        QStringLiteral("FILIAL_N_INF|Filial deve ser informada."),
        QStringLiteral("FILIAL_N_CAD|Filial informada não cadastrada."),
        QStringLiteral("N_HA_FILIAL|Não há filial cadastrada."),
        QStringLiteral("DTCARD_N_INF|Data do cardápio deve ser informada"),
        QStringLiteral("PDF_GRAVADO|PDF gravado em %1"),
        QStringLiteral("PREPARO_INV|Informe a data e a hora do preparo (dd/mm/aaaa e hh:mm)."),
        QStringLiteral("IMPRESSO|Impressão enviada à impressora: %1 página(s)."),
        QStringLiteral("ETIQUETAS_ENVIADAS|Etiquetas enviadas à impressora de etiquetas %1."),
    });
}

void TfrmImpDistEmbCard::BindEvents() {
    using F = TfrmImpDistEmbCard;
    OnClose = Notify(this, &F::FormClose);
    netImpDistEmbCard.BeforeConnect = [](TNetConnection& net) {
        net.Host = Zelvora::WebURL;
        net.Port = Zelvora::WebPort;
    };

    cdsServicos->OnCalcFields = DataSetEvent(this, &F::cdsServicosCalcFields);
    cdsServicos->BeforeInsert = DataSetEvent(this, &F::cdsServicosBeforeInsert);
    cdsServicos->BeforeEdit = DataSetEvent(this, &F::cdsServicosBeforeEdit);

    edtCdFilial->OnChange = Notify(this, &F::edtCdFilialChange);
    btnFilial->OnClick = Notify(this, &F::btnFilialClick);
    depCardapio->OnDateChange = Notify(this, &F::depCardapioDateChange);
    panDbgPadrao->OnEnter = Notify(this, &F::panDbgPadraoEnter);
    grbImpressao->OnEnter = Notify(this, &F::panDbgPadraoEnter);
    cmbFiltroGrupo->OnChange = Notify(this, &F::cmbFiltroGrupoChange);

    dbgServicos->OnCellClick = [this](TColumn& c) { dbgServicosCellClick(c); };
    dbgServicos->OnTitleClick = [this](TColumn& c) { dbgServicosTitleClick(c); };
    dbgServicos->OnKeyDown = [this](TComponent& s, int& key, TShiftState shift) {
        dbgServicosKeyDown(s, key, shift);
    };
    dbgServicos->OnDrawColumnCell = [this](TComponent& s, const QRect& r, int col, TColumn& c,
                                           TGridDrawState state) {
        dbgServicosDrawColumnCell(s, r, col, c, state);
    };

    btnVisualizar->OnClick = Notify(this, &F::btnVisualizarClick);
    btnImprimir->OnClick = Notify(this, &F::btnImprimirClick);
    btnGerarPdf->OnClick = Notify(this, &F::btnGerarPdfClick);
    btnImprimirEtiquetas->OnClick = Notify(this, &F::btnImprimirEtiquetasClick);
}
