#include "framework/ui/TfrmPadraoGrid.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/ui/Colors.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBNavigator.h"
#include "framework/ui/TDBText.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMainMenu.h"
#include "framework/ui/TMessages.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/TScrollBox.h"
#include "framework/ui/ToolGlyphs.h"

using pla::ToolGlyphs;

TfrmPadraoGrid::TfrmPadraoGrid(TComponent* owner)
    : TForm(owner), dtsPadrao_(std::make_unique<TDataSource>(QStringLiteral("dtsPadrao"))) {
    SetFormStyle(TFormStyle::fsMDIChild);
    SetBounds(0, 0, 800, 600);

    msgPadrao = new TMessages(this);
    msgPadrao->SetName(QStringLiteral("msgPadrao"));
    msgMensagensPadroes = new TMessages(this);
    msgMensagensPadroes->SetName(QStringLiteral("msgMensagensPadroes"));
    msgMensagensPadroes->SetLines(
        {QStringLiteral("Excl|Confirma exclusão?"), QStringLiteral("Canc|Cancela alterações?")});

    panMenu = new TPanel(this);
    panMenu->SetName(QStringLiteral("panMenu"));
    panMenu->SetParent(this);
    panMenu->SetHeight(29);
    panMenu->SetAlign(TAlign::alTop);

    lblCodTela = new TLabel(this);
    lblCodTela->SetName(QStringLiteral("lblCodTela"));
    lblCodTela->SetParent(panMenu);
    lblCodTela->SetWidth(70);
    lblCodTela->SetAlign(TAlign::alRight);
    lblCodTela->SetAlignment(TAlignment::taRightJustify);
    lblCodTela->SetFontBold(true);

    mnuMenu = new TMainMenu(this);
    mnuMenu->SetName(QStringLiteral("mnuMenu"));
    SetMenu(mnuMenu);
    mnuManutencao = new TMenuItem(this);
    mnuManutencao->SetName(QStringLiteral("mnuManutencao"));
    mnuManutencao->SetCaption(QStringLiteral("&Manutenção"));
    mnuMenu->Items().Add(mnuManutencao);

    struct ButtonDef {
        TButtonFlat** button;
        TMenuItem** item;
        const char* name;
        const char* hint;
        ToolGlyphs::Kind glyph;
        void (TfrmPadraoGrid::*handler)(TComponent&);
    };
    const ButtonDef buttons[] = {
        {&sbtIncluir, &mnuIncluir, "Incluir", "Incluir", ToolGlyphs::Kind::Include,
         &TfrmPadraoGrid::sbtIncluirClick},
        {&sbtAlterar, &mnuAlterar, "Alterar", "Alterar", ToolGlyphs::Kind::Change,
         &TfrmPadraoGrid::sbtAlterarClick},
        {&sbtExcluir, &mnuExcluir, "Excluir", "Excluir", ToolGlyphs::Kind::Delete,
         &TfrmPadraoGrid::sbtExcluirClick},
        {&sbtProcurar, &mnuProcurar, "Procurar", "Procurar", ToolGlyphs::Kind::Find,
         &TfrmPadraoGrid::sbtProcurarClick},
        {&sbtVerificar, &mnuVerificar, "Verificar", "Verificar", ToolGlyphs::Kind::Verify,
         &TfrmPadraoGrid::sbtVerificarClick},
        {&sbtConfirmar, &mnuConfirmar, "Confirmar", "Confirmar", ToolGlyphs::Kind::Confirm,
         &TfrmPadraoGrid::sbtConfirmarClick},
        {&sbtCancelar, &mnuCancelar, "Cancelar", "Cancelar", ToolGlyphs::Kind::Cancel,
         &TfrmPadraoGrid::sbtCancelarClick},
        {&sbtImprimir, &mnuImprimir, "Imprimir", "Imprimir", ToolGlyphs::Kind::Print,
         &TfrmPadraoGrid::sbtImprimirClick},
        {&sbtAjuda, &mnuAjuda, "Ajuda", "Ajuda", ToolGlyphs::Kind::Help,
         &TfrmPadraoGrid::sbtAjudaClick},
        {&sbtFechar, &mnuFechar, "Fechar", "Fechar", ToolGlyphs::Kind::Close,
         &TfrmPadraoGrid::sbtFecharClick},
    };
    for (const ButtonDef& s : buttons) {
        auto* b = new TButtonFlat(this);
        b->SetName(QStringLiteral("sbt") + QLatin1String(s.name));
        b->SetHint(QString::fromUtf8(s.hint));
        b->SetGlyph(ToolGlyphs::Tool(s.glyph));
        auto handler = s.handler;
        b->OnClick = [this, handler](TComponent& sender) { (this->*handler)(sender); };
        *s.button = b;
        InsertToolButton(b, nullptr);
        auto* m = AddMaintenanceItem(QStringLiteral("mnu") + QLatin1String(s.name),
                                     QString::fromUtf8(s.hint));
        *s.item = m;
        MirrorMenuItem(m, b);
    }

    panNavigator = new TPanel(this);
    panNavigator->SetName(QStringLiteral("panNavigator"));
    panNavigator->SetParent(this);
    panNavigator->SetHeight(29);
    panNavigator->SetAlign(TAlign::alBottom);
    dbtNome = new TDBText(this);
    dbtNome->SetName(QStringLiteral("dbtNome"));
    dbtNome->SetParent(panNavigator);
    dbtNome->SetBounds(8, 8, 400, 17);
    dbtNome->SetDataSource(dtsPadrao_.get());
    dbnPadrao = new TDBNavigator(this);
    dbnPadrao->SetName(QStringLiteral("dbnPadrao"));
    dbnPadrao->SetParent(panNavigator);
    dbnPadrao->SetWidth(100);
    dbnPadrao->SetAlign(TAlign::alRight);
    dbnPadrao->SetDataSource(dtsPadrao_.get());
    for (TNavigateBtn b : {TNavigateBtn::nbInsert, TNavigateBtn::nbDelete, TNavigateBtn::nbEdit,
                           TNavigateBtn::nbPost, TNavigateBtn::nbCancel, TNavigateBtn::nbRefresh})
        dbnPadrao->SetButtonVisible(b, false);

    panDbgPadrao = new TPanel(this);
    panDbgPadrao->SetName(QStringLiteral("panDbgPadrao"));
    panDbgPadrao->SetParent(this);
    panDbgPadrao->SetWidth(185);
    panDbgPadrao->SetAlign(TAlign::alLeft);
    dbgPadrao = new TDBGrid(this);
    dbgPadrao->SetName(QStringLiteral("dbgPadrao"));
    dbgPadrao->SetParent(panDbgPadrao);
    dbgPadrao->SetAlign(TAlign::alClient);
    dbgPadrao->SetDataSource(dtsPadrao_.get());

    scbFolhaDados = new TScrollBox(this);
    scbFolhaDados->SetName(QStringLiteral("scbFolhaDados"));
    scbFolhaDados->SetParent(this);
    scbFolhaDados->SetAlign(TAlign::alClient);
}

TfrmPadraoGrid::~TfrmPadraoGrid() {
    // Controls bound to dtsPadrao go before it.
    DestroyComponents();
}

void TfrmPadraoGrid::InsertToolButton(TSpeedButton* button, TSpeedButton* before) {
    auto it = std::find(toolButtons_.begin(), toolButtons_.end(), before);
    toolButtons_.insert(it, button);
    button->SetParent(panMenu);
    LayoutToolButtons();
    button->AddChangeListener([this](TComponent&, TChange c) {
        if (c == TChange::Visible) LayoutToolButtons();
    });
}

void TfrmPadraoGrid::LayoutToolButtons() {
    int x = 4;
    for (TSpeedButton* b : toolButtons_) {
        if (!b->Visible()) continue;
        b->SetBounds(x, 4, b->Width(), b->Height());
        x += b->Width() + 1;
    }
}

void TfrmPadraoGrid::MirrorMenuItem(TMenuItem* item, TSpeedButton* button) {
    item->SetEnabled(button->Enabled());
    button->AddChangeListener([item](TComponent& c, TChange what) {
        if (what == TChange::Enabled) item->SetEnabled(static_cast<TControl&>(c).Enabled());
    });
    item->OnClick = [button](TComponent&) { button->Click(); };
}

TMenuItem* TfrmPadraoGrid::AddMaintenanceItem(const QString& name, const QString& caption) {
    auto* m = new TMenuItem(this);
    m->SetName(name);
    m->SetCaption(caption);
    mnuManutencao->Add(m);
    return m;
}

namespace {
TClientDataSet* SetOf(TDataSource* s) {
    return s ? s->DataSet() : nullptr;
}
bool Editing(TClientDataSet* ds) {
    return ds && (ds->State() == TDataSetState::Edit || ds->State() == TDataSetState::Insert);
}
} // namespace

void TfrmPadraoGrid::sbtIncluirClick(TComponent&) {
    if (TClientDataSet* ds = SetOf(dtsPadrao_.get()); ds && ds->Active()) ds->Append();
}

void TfrmPadraoGrid::sbtAlterarClick(TComponent&) {
    if (TClientDataSet* ds = SetOf(dtsPadrao_.get()); ds && ds->Active() && !ds->IsEmpty())
        ds->Edit();
}

void TfrmPadraoGrid::sbtExcluirClick(TComponent&) {
    TClientDataSet* ds = SetOf(dtsPadrao_.get());
    if (!ds || !ds->Active() || ds->IsEmpty()) return;
    if (!pla::Dialogs().AskYesNo(msgMensagensPadroes->Msg(QStringLiteral("Excl")))) return;
    ds->Delete();
}

void TfrmPadraoGrid::sbtProcurarClick(TComponent&) {
    if (TClientDataSet* ds = SetOf(dtsPadrao_.get()); ds && ds->Active()) pla::Dialogs().Find(*ds);
}

void TfrmPadraoGrid::sbtVerificarClick(TComponent&) {}

void TfrmPadraoGrid::sbtConfirmarClick(TComponent&) {
    if (TClientDataSet* ds = SetOf(dtsPadrao_.get()); Editing(ds)) ds->Post();
}

void TfrmPadraoGrid::sbtCancelarClick(TComponent&) {
    if (TClientDataSet* ds = SetOf(dtsPadrao_.get()); Editing(ds)) ds->Cancel();
}

void TfrmPadraoGrid::sbtImprimirClick(TComponent&) {}

void TfrmPadraoGrid::sbtAjudaClick(TComponent&) {}

void TfrmPadraoGrid::sbtFecharClick(TComponent&) {
    Close();
}

void TfrmPadraoGrid::FormDestroy() {
    if (TClientDataSet* ds = SetOf(dtsPadrao_.get()); Editing(ds)) ds->Cancel();
}
