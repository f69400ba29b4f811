// The screen's regions and controls: captions, hints, sizes, colours and tab order. Which
// handler runs on which event lives in DistEmbCardEvents.cpp.
#include "distribution/DistEmbCard.h"
#include "framework/ui/Colors.h"
#include "framework/ui/ControlFactory.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBMemo.h"
#include "framework/ui/TDBText.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TImage.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMainMenu.h"
#include "framework/ui/TMenuItem.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/TScrollBox.h"
#include "framework/ui/TSpeedButton.h"
#include "framework/ui/ToolGlyphs.h"

#include <algorithm>

using pla::MakeBoldLabel;
using pla::MakeControl;
using pla::MakeTitleBar;

void TfrmDistEmbCard::BuildLayout() {
    SetCaption(QStringLiteral("Distribuição do Cardápio"));
    SetFormStyle(TFormStyle::fsMDIChild);
    SetBounds(29, 125, 1239, 626);
    lblCodTela->SetCaption(QStringLiteral("PLA15400"));

    BuildBranchPanel();
    BuildServiceSide();
    BuildDistributionSide();
    BuildCommands();
    BuildKeyboard();
    BuildPictures();
}

void TfrmDistEmbCard::BuildBranchPanel() {
    panFilial = MakeControl<TPanel>(this, this, "panFilial");
    panFilial->SetBounds(0, panMenu->Height() + 1, Width(), 34);
    panFilial->SetAlign(TAlign::alTop);
    panFilial->SetTabOrder(0); // the screen opens on the date

    BuildBranchDateControls(this, panFilial, Arrangement::OneRow, 343, *msgPadrao);

    // Inside the panel the focus passes from the date to the branch code.
    depCardapio->SetTabOrder(0);
    edtCdFilial->SetTabOrder(1);
}

void TfrmDistEmbCard::BuildServiceSide() {
    panDbgPadrao->SetWidth(269);
    panDbgPadrao->SetTabOrder(1);

    panTServico = MakeTitleBar(this, panDbgPadrao, "panTServico",
                               QStringLiteral("Serviços Transportados"), 0);

    grbFiltroServico = MakeControl<TGroupBox>(this, panDbgPadrao, "grbFiltroServico");
    grbFiltroServico->SetCaption(QStringLiteral("Filtro"));
    grbFiltroServico->SetBounds(0, 20, 269, 45);
    grbFiltroServico->SetAlign(TAlign::alTop);
    lblFiltroGrupo = MakeControl<TLabel>(this, grbFiltroServico, "lblFiltroGrupo");
    lblFiltroGrupo->SetCaption(QStringLiteral("Grupo"));
    lblFiltroGrupo->SetBounds(8, 20, 40, 13);
    cmbFiltroGrupo = MakeControl<TComboBox>(this, grbFiltroServico, "cmbFiltroGrupo");
    cmbFiltroGrupo->SetBounds(52, 16, 209, 21);
    cmbFiltroGrupo->SetColor(clInfoBk);
    cmbFiltroGrupo->SetTabStop(true);
    lblFiltroGrupo->SetFocusControl(cmbFiltroGrupo);

    grbPontoEntrega = MakeControl<TGroupBox>(this, panDbgPadrao, "grbPontoEntrega");
    grbPontoEntrega->SetCaption(QStringLiteral("Ponto de Entrega"));
    grbPontoEntrega->SetBounds(0, 400, 269, 45);
    grbPontoEntrega->SetAlign(TAlign::alBottom);
    cmbPontosEntrega = MakeControl<TComboBox>(this, grbPontoEntrega, "cmbPontosEntrega");
    cmbPontosEntrega->SetBounds(8, 16, 253, 21);
    cmbPontosEntrega->SetColor(clInfoBk);
    cmbPontosEntrega->SetTabStop(true);

    // The base grid fills what the filter and the delivery points leave.
    dbgPadrao->SetColor(clInfoBk);
    dbgPadrao->SetOptions(dgColumnResize | dgColLines | dgRowLines | dgTabs | dgRowSelect |
                          dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit);
    dbgPadrao->SetTabStop(true);
    dbgPadrao->SetAccessibleName(panTServico->Caption());
    grbFiltroServico->SetTabOrder(0);
    dbgPadrao->SetTabOrder(1);
    grbPontoEntrega->SetTabOrder(2);

    // The services list keeps its share of the window (269 of 1239), within what a small
    // screen can spare and what its names need.
    OnResize = [this](TComponent&) {
        const int side = std::clamp(Width() * 269 / 1239, 220, 400);
        panDbgPadrao->SetWidth(side);
        // The two combos keep their margins to the list's right edge.
        cmbFiltroGrupo->SetWidth(side - cmbFiltroGrupo->Left() - 8);
        cmbPontosEntrega->SetWidth(side - cmbPontosEntrega->Left() - 8);
    };
}

void TfrmDistEmbCard::BuildDistributionSide() {
    // Below this the work area scrolls: both halves stay whole at small window sizes (a
    // 1024 × 768 screen holds it).
    scbFolhaDados->SetContentMinimum(QSize(700, 430));
    panDistribuicao = MakeControl<TPanel>(this, scbFolhaDados, "panDistribuicao");
    panDistribuicao->SetBevelOuter(TBevelCut::bvNone);
    panDistribuicao->SetAlign(TAlign::alClient);
    panTDistribuicao =
        MakeTitleBar(this, panDistribuicao, "panTDistribuicao", QStringLiteral("Distribuição"), 0);
    panAvisoEtiquetas =
        MakeTitleBar(this, panDistribuicao, "panAvisoEtiquetas",
                     QStringLiteral("Etiquetas impressas antes da última alteração"), 19);
    panAvisoEtiquetas->SetColor(clInfoBk);
    panAvisoEtiquetas->SetFontColor(QColor(0x99, 0, 0));
    panAvisoEtiquetas->SetVisible(false);

    // Left half: the dishes still to distribute.
    panCardapio = MakeControl<TPanel>(this, panDistribuicao, "panCardapio");
    panCardapio->SetBevelOuter(TBevelCut::bvNone);
    panCardapio->SetBounds(0, 19, 483, 500);
    panCardapio->SetAlign(TAlign::alLeft);
    panTCardapio = MakeTitleBar(this, panCardapio, "panTCardapio",
                                QStringLiteral("Pratos não Distribuídos"), 0);

    panAddDelPrat = MakeControl<TPanel>(this, panCardapio, "panAddDelPrat");
    panAddDelPrat->SetBevelOuter(TBevelCut::bvNone);
    panAddDelPrat->SetBounds(455, 19, 28, 440);
    panAddDelPrat->SetAlign(TAlign::alRight);
    struct DishButton {
        TSpeedButton** button;
        const char* name;
        const char* hint;
        int top;
    };
    const DishButton dishButtons[] = {
        {&btnAddPrat, "btnAddPrat", "Adicionar prato à embalagem", 8},
        {&btnAddTPrat, "btnAddTPrat", "Adicionar todos os pratos à embalagem", 34},
        {&btnDelPrat, "btnDelPrat", "Retirar prato da embalagem", 200},
        {&btnDelTPrat, "btnDelTPrat", "Retirar todos os pratos da embalagem", 226},
    };
    for (const DishButton& d : dishButtons) {
        auto* b = MakeControl<TSpeedButton>(this, panAddDelPrat, d.name);
        b->SetBounds(2, d.top, 24, 24);
        b->SetHint(QString::fromUtf8(d.hint));
        b->SetShowHint(true);
        b->SetEnabled(false);
        *d.button = b;
    }

    grbInfoPrat = MakeControl<TGroupBox>(this, panCardapio, "grbInfoPrat");
    grbInfoPrat->SetBounds(0, 440, 455, 45);
    grbInfoPrat->SetAlign(TAlign::alBottom);
    lblQtPorPessoa = MakeControl<TLabel>(this, grbInfoPrat, "lblQtPorPessoa");
    lblQtPorPessoa->SetCaption(QStringLiteral("Quantidade por Pessoa"));
    lblQtPorPessoa->SetBounds(8, 20, 150, 13);
    dbeQtPorPessoa = MakeControl<TDBEdit>(this, grbInfoPrat, "dbeQtPorPessoa");
    dbeQtPorPessoa->SetBounds(164, 16, 90, 21);
    dbeQtPorPessoa->SetColor(clInfoBk);
    dbeQtPorPessoa->SetTabStop(true);
    lblQtPorPessoa->SetFocusControl(dbeQtPorPessoa);
    dblUnidade = MakeControl<TDBText>(this, grbInfoPrat, "dblUnidade");
    dblUnidade->SetBounds(260, 20, 60, 13);

    dbgCardapio = MakeControl<TDBGrid>(this, panCardapio, "dbgCardapio");
    dbgCardapio->SetAlign(TAlign::alClient);
    dbgCardapio->SetColor(clInfoBk);
    dbgCardapio->SetTabStop(true);
    dbgCardapio->SetAccessibleName(panTCardapio->Caption());
    dbgCardapio->SetTabOrder(0);
    grbInfoPrat->SetTabOrder(1);

    // Right half: the packagings and the dishes of the current one.
    panEmbalagens = MakeControl<TPanel>(this, panDistribuicao, "panEmbalagens");
    panEmbalagens->SetBevelOuter(TBevelCut::bvNone);
    panEmbalagens->SetAlign(TAlign::alClient);
    panTEmbalagens =
        MakeTitleBar(this, panEmbalagens, "panTEmbalagens", QStringLiteral("Embalagens"), 0);

    panEmbDistr = MakeControl<TPanel>(this, panEmbalagens, "panEmbDistr");
    panEmbDistr->SetBevelOuter(TBevelCut::bvNone);
    panEmbDistr->SetBounds(0, 19, panEmbalagens->Width(), 190);
    panEmbDistr->SetAlign(TAlign::alTop);
    grbObsEtiqueta = MakeControl<TGroupBox>(this, panEmbDistr, "grbObsEtiqueta");
    grbObsEtiqueta->SetCaption(QStringLiteral("Observação na etiqueta"));
    grbObsEtiqueta->SetBounds(0, 130, panEmbDistr->Width(), 60);
    grbObsEtiqueta->SetAlign(TAlign::alBottom);
    dbmObservacaoEtiqueta = MakeControl<TDBMemo>(this, grbObsEtiqueta, "dbmObservacaoEtiqueta");
    dbmObservacaoEtiqueta->SetAlign(TAlign::alClient);
    dbmObservacaoEtiqueta->SetColor(clInfoBk);
    dbmObservacaoEtiqueta->SetTabStop(true);
    dbgEmbalagens = MakeControl<TDBGrid>(this, panEmbDistr, "dbgEmbalagens");
    dbgEmbalagens->SetAlign(TAlign::alClient);
    dbgEmbalagens->SetColor(clInfoBk);
    dbgEmbalagens->SetTabStop(true);
    dbgEmbalagens->SetAccessibleName(panTEmbalagens->Caption());
    dbgEmbalagens->SetTabOrder(0);
    grbObsEtiqueta->SetTabOrder(1);

    panTPratosEmb = MakeTitleBar(this, panEmbalagens, "panTPratosEmb",
                                 QStringLiteral("Pratos na Embalagem"), 210);
    dbgPratosEmb = MakeControl<TDBGrid>(this, panEmbalagens, "dbgPratosEmb");
    dbgPratosEmb->SetAlign(TAlign::alClient);
    dbgPratosEmb->SetColor(clInfoBk);
    dbgPratosEmb->SetTabStop(true);
    dbgPratosEmb->SetAccessibleName(panTPratosEmb->Caption());
    dbgPratosEmb->SetOptions(dgEditing | dgTitles | dgColumnResize | dgColLines | dgRowLines |
                             dgTabs | dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit);

    panCardapio->SetTabOrder(0);
    panEmbalagens->SetTabOrder(1);

    // The dishes to distribute and the packagings share the room the window gives.
    panDistribuicao->OnResize = [this](TComponent&) {
        panCardapio->SetWidth(panDistribuicao->Width() / 2);
    };
}

void TfrmDistEmbCard::BuildCommands() {
    struct Command {
        TButtonFlat** button;
        TMenuItem** item;
        const char* buttonName;
        const char* itemName;
        const char* text;
        const char* shortCut;
    };
    const Command commands[] = {
        {&sbtGerar, &mnuGerar, "sbtGerar", "mnuGerar", "Distribuição da Filial", "Ctrl+G"},
        {&sbtRedistribuir, &mnuRedistribuir, "sbtRedistribuir", "mnuRedistribuir",
         "Distribuir / Redistribuir", "Ctrl+R"},
        {&sbtApagar, &mnuApagar, "sbtApagar", "mnuApagar", "Apagar Distribuição", "Ctrl+A"},
    };
    for (const Command& c : commands) {
        auto* b = new TButtonFlat(this);
        b->SetName(QString::fromLatin1(c.buttonName));
        b->SetHint(QString::fromUtf8(c.text));
        b->SetShowHint(true);
        b->SetFlat(true);
        b->SetBounds(0, 0, 21, 21);
        b->SetEnabled(false);
        // Ours go before the base screen's print, help and close buttons.
        InsertToolButton(b, sbtImprimir);
        *c.button = b;

        TMenuItem* m =
            AddMaintenanceItem(QString::fromLatin1(c.itemName), QString::fromUtf8(c.text));
        m->SetShortCut(QString::fromLatin1(c.shortCut));
        MirrorMenuItem(m, b);
        *c.item = m;
    }
    // Copying replaces the distribution as redistributing does, so it is open exactly where
    // redistributing is.
    mnuCopiar =
        AddMaintenanceItem(QStringLiteral("mnuCopiar"), QStringLiteral("Copiar de outra data…"));
    mnuCopiar->SetShortCut(QStringLiteral("Ctrl+D"));
    mnuCopiar->SetEnabled(sbtRedistribuir->Enabled());
    sbtRedistribuir->AddChangeListener([this](TComponent& c, TChange what) {
        if (what == TChange::Enabled) mnuCopiar->SetEnabled(static_cast<TControl&>(c).Enabled());
    });
    // No tool button: a reprint is an exception, reached from the menu or its key (Ctrl+E,
    // "etiquetas", which neither the window manager nor the MDI area takes).
    mnuReimprimir = AddMaintenanceItem(QStringLiteral("mnuReimprimir"),
                                       QStringLiteral("Reimprimir etiquetas da embalagem"));
    mnuReimprimir->SetShortCut(QStringLiteral("Ctrl+E"));
}

void TfrmDistEmbCard::BuildKeyboard() {
    // The whole daily job by keyboard: each entry of the maintenance menu (Alt+M) has a
    // letter of its own, and the commands of the job have a key, shown beside them.
    struct Entry {
        TMenuItem* item;
        const char* caption;
        const char* shortCut; // nullptr: keeps its own
    };
    const Entry entries[] = {
        {mnuIncluir, "&Incluir", "Insert"},
        {mnuAlterar, "&Alterar", nullptr},
        {mnuExcluir, "&Excluir", nullptr},
        {mnuProcurar, "&Procurar", nullptr},
        {mnuVerificar, "&Verificar", nullptr},
        {mnuConfirmar, "C&onfirmar", "Ctrl+Enter"},
        {mnuCancelar, "&Cancelar", "Esc"},
        {mnuImprimir, "I&mprimir", nullptr},
        {mnuAjuda, "Aj&uda", "F1"},
        {mnuFechar, "&Fechar", nullptr},
        {mnuGerar, "&Distribuição da Filial", nullptr},
        {mnuRedistribuir, "Distribuir / &Redistribuir", nullptr},
        {mnuApagar, "Apa&gar Distribuição", nullptr},
        {mnuCopiar, "Copiar de ou&tra data…", nullptr},
        {mnuReimprimir, "Reimprimir etiquetas da em&balagem", nullptr},
    };
    for (const Entry& e : entries) {
        e.item->SetCaption(QString::fromUtf8(e.caption));
        if (e.shortCut) e.item->SetShortCut(QString::fromLatin1(e.shortCut));
    }

    // The dish moves in a menu of their own (Alt+P), and F10 as a second key for confirming
    // (hidden: Manutenção shows Ctrl+Enter).
    auto* dishes = new TMenuItem(this);
    dishes->SetName(QStringLiteral("mnuPratos"));
    dishes->SetCaption(QStringLiteral("&Pratos"));
    mnuMenu->Items().Add(dishes);
    struct Move {
        TSpeedButton* button;
        const char* name;
        const char* caption;
        const char* shortCut;
    };
    const Move moves[] = {
        {btnAddPrat, "mnuAddPrat", "Adicionar prato à embalagem", "Ctrl+Right"},
        {btnAddTPrat, "mnuAddTPrat", "Adicionar todos os pratos à embalagem", "Ctrl+Shift+Right"},
        {btnDelPrat, "mnuDelPrat", "Retirar prato da embalagem", "Ctrl+Left"},
        {btnDelTPrat, "mnuDelTPrat", "Retirar todos os pratos da embalagem", "Ctrl+Shift+Left"},
        {sbtConfirmar, "mnuConfirmarF10", "Confirmar", "F10"},
    };
    for (const Move& m : moves) {
        auto* item = new TMenuItem(this);
        item->SetName(QString::fromLatin1(m.name));
        item->SetCaption(QString::fromUtf8(m.caption));
        item->SetShortCut(QString::fromLatin1(m.shortCut));
        dishes->Add(item);
        MirrorMenuItem(item, m.button);
    }
    Find<TMenuItem>(QStringLiteral("mnuConfirmarF10"))->SetVisible(false);
}

void TfrmDistEmbCard::BuildPictures() {
    using pla::ToolGlyphs;
    struct Picture {
        TImage** image;
        const char* name;
        QImage picture;
    };
    const Picture pictures[] = {
        {&imgFarolVerde, "imgFarolVerde", ToolGlyphs::StatusLight(ToolGlyphs::Light::Green)},
        {&imgFarolCinza, "imgFarolCinza", ToolGlyphs::StatusLight(ToolGlyphs::Light::Grey)},
        {&imgFarolVermelho, "imgFarolVermelho", ToolGlyphs::StatusLight(ToolGlyphs::Light::Red)},
        {&imgChecked, "imgChecked", ToolGlyphs::CheckBox(true)},
        {&imgUnchecked, "imgUnchecked", ToolGlyphs::CheckBox(false)},
    };
    int left = 700;
    for (const Picture& p : pictures) {
        auto* img = MakeControl<TImage>(this, panMenu, p.name);
        img->SetPicture(p.picture);
        img->SetTransparent(true);
        img->SetBounds(left, 4, p.picture.width(), p.picture.height());
        img->SetVisible(false);
        *p.image = img;
        left += 20;
    }
}
