#include "framework/ui/TfrmRotiGeral.h"

#include "framework/ui/TBitBtn.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMessages.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/ToolGlyphs.h"

using pla::ToolGlyphs;

TfrmRotiGeral::TfrmRotiGeral(TComponent* owner) : TForm(owner) {
    SetBorderStyle(TBorderStyle::bsDialog);
    SetBounds(0, 0, 480, 320);

    msgPadrao = new TMessages(this);
    msgPadrao->SetName(QStringLiteral("msgPadrao"));

    panMenu = new TPanel(this);
    panMenu->SetName(QStringLiteral("panMenu"));
    panMenu->SetParent(this);
    panMenu->SetWidth(64); // room for the screen code under the buttons
    panMenu->SetAlign(TAlign::alRight);

    panBotoes = new TPanel(this);
    panBotoes->SetName(QStringLiteral("panBotoes"));
    panBotoes->SetParent(panMenu);
    panBotoes->SetHeight(56);
    panBotoes->SetAlign(TAlign::alTop);
    panBotoes->SetBevelOuter(TBevelCut::bvNone);

    auto makeButton = [this]<typename Button>(Button* b, const char* name, const char* hint,
                                              ToolGlyphs::Kind kind, TPanel* parent, int top) {
        b->SetName(QLatin1String(name));
        b->SetHint(QString::fromUtf8(hint));
        b->SetGlyph(ToolGlyphs::Tool(kind));
        b->SetParent(parent);
        b->SetBounds(21, top, 21, 21);
        b->SetFlat(true);
        b->SetShowHint(true);
        return b;
    };
    // Confirm and cancel are in the tab order (after the screen's controls), so the keyboard
    // reaches them; help stays a tool button.
    sbtConfirma = makeButton(new TBitBtn(this), "sbtConfirma", "Confirmar",
                             ToolGlyphs::Kind::Confirm, panBotoes, 4);
    sbtCancel = makeButton(new TBitBtn(this), "sbtCancel", "Cancelar", ToolGlyphs::Kind::Cancel,
                           panBotoes, 28);
    sbtConfirma->OnClick = [this](TComponent& s) { sbtConfirmaClick(s); };
    sbtCancel->OnClick = [this](TComponent& s) { sbtCancelClick(s); };

    panHelp = new TPanel(this);
    panHelp->SetName(QStringLiteral("panHelp"));
    panHelp->SetParent(panMenu);
    panHelp->SetHeight(48);
    panHelp->SetAlign(TAlign::alBottom);
    panHelp->SetBevelOuter(TBevelCut::bvNone);
    sbtHelp = makeButton(new TButtonFlat(this), "sbtHelp", "Ajuda", ToolGlyphs::Kind::Help,
                         panHelp, 4);
    sbtHelp->OnClick = [this](TComponent& s) { sbtHelpClick(s); };

    lblCodTela = new TLabel(this);
    lblCodTela->SetName(QStringLiteral("lblCodTela"));
    lblCodTela->SetParent(panHelp);
    lblCodTela->SetBounds(0, 30, 64, 13);
    lblCodTela->SetAlignment(TAlignment::taCenter);

    grbDadosRel = new TGroupBox(this);
    grbDadosRel->SetName(QStringLiteral("grbDadosRel"));
    grbDadosRel->SetParent(this);
    grbDadosRel->SetAlign(TAlign::alClient);
    // The screen's controls come first: a dialog opens on its first enabled edit.
    grbDadosRel->SetTabOrder(0);
}

TfrmRotiGeral::~TfrmRotiGeral() {
    DestroyComponents();
}

void TfrmRotiGeral::sbtConfirmaClick(TComponent&) {
    SetModalResult(mrOk);
}

void TfrmRotiGeral::sbtCancelClick(TComponent&) {
    Close();
}

void TfrmRotiGeral::sbtHelpClick(TComponent&) {}

bool TfrmRotiGeral::DialogKey(int key, TShiftState shift) {
    if (shift != ssNone) return false;
    if (key == VK_RETURN) return sbtConfirma->UserClick();
    if (key == VK_ESCAPE) return sbtCancel->UserClick();
    return false;
}
