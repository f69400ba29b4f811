// The dialog's controls (captions, sizes, tab order), its message catalogue and which handler
// runs on which event.
#include "dish_dialog/DadosPrato.h"
#include "framework/ui/ControlFactory.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMessages.h"

using pla::MakeBoldLabel;
using pla::MakeControl;

namespace {

TEdit* AmountEdit(TComponent* form, TWinControl* parent, const char* name, int top) {
    auto* e = MakeControl<TEdit>(form, parent, name);
    e->SetBounds(100, top, 100, 21);
    return e;
}

} // namespace

TfrmDadosPrato::TfrmDadosPrato(TComponent* owner) : TfrmRotiGeral(owner) {
    SetName(QStringLiteral("frmDadosPrato"));
    BuildLayout();
    BuildMessages();
    BindEvents();
}

TfrmDadosPrato::~TfrmDadosPrato() {
    DestroyComponents();
}

void TfrmDadosPrato::BuildLayout() {
    SetCaption(QStringLiteral("Dados do Prato"));
    // Room for the dish's name, the amounts and units at the desktop's font, and for the
    // title beside the application's name in the window's title bar.
    SetBounds(0, 0, 440, 140);
    lblCodTela->SetCaption(QStringLiteral("PLA15410"));
    sbtHelp->SetVisible(false);

    lblComensais =
        MakeBoldLabel(this, grbDadosRel, "lblComensais", QStringLiteral("Comensais"), 10, 26, 86);
    lblQuantidade =
        MakeBoldLabel(this, grbDadosRel, "lblQuantidade", QStringLiteral("Quantidade"), 10, 54, 86);
    lblExtra = MakeBoldLabel(this, grbDadosRel, "lblExtra", QStringLiteral("Extra"), 10, 82, 86);

    edtComensais = AmountEdit(this, grbDadosRel, "edtComensais", 22);
    edtPrato = AmountEdit(this, grbDadosRel, "edtPrato", 50);
    edtExtra = AmountEdit(this, grbDadosRel, "edtExtra", 78);
    lblComensais->SetFocusControl(edtComensais);
    lblQuantidade->SetFocusControl(edtPrato);
    lblExtra->SetFocusControl(edtExtra);

    // Replaced by the dish's unit at every opening.
    lblUnidade = MakeBoldLabel(this, grbDadosRel, "lblUnidade", QStringLiteral("UN"), 206, 54, 50);
    lblUnidadeExtra =
        MakeBoldLabel(this, grbDadosRel, "lblUnidadeExtra", QStringLiteral("UN"), 206, 82, 50);

    // The keyboard runs as the eye reads: diners, quantity, extra, then confirm and cancel.
    edtComensais->SetTabOrder(0);
    edtPrato->SetTabOrder(1);
    edtExtra->SetTabOrder(2);
}

void TfrmDadosPrato::BuildMessages() {
    msgPadrao->SetLines({
        QStringLiteral("COMENS_MAIOR|Número de comensais deve ser menor ou igual a %s"),
        QStringLiteral("PRATO_MAIOR|Quantidade do prato deve ser menor ou igual a %s"),
        QStringLiteral("EXTRA_MAIOR|Quantidade extra deve ser menor ou igual a %s"),
    });
}

void TfrmDadosPrato::BindEvents() {
    edtComensais->OnKeyPress = [this](TComponent& s, QChar& k) { edtComensaisKeyPress(s, k); };
    edtPrato->OnKeyPress = [this](TComponent& s, QChar& k) { edtPratoKeyPress(s, k); };
    edtExtra->OnKeyPress = [this](TComponent& s, QChar& k) { edtExtraKeyPress(s, k); };
    edtComensais->OnChange = [this](TComponent& s) { edtComensaisChange(s); };
    edtPrato->OnChange = [this](TComponent& s) { edtPratoChange(s); };
    edtComensais->OnExit = [this](TComponent& s) { edtComensaisExit(s); };
    edtPrato->OnExit = [this](TComponent& s) { edtPratoExit(s); };
    edtExtra->OnExit = [this](TComponent& s) { edtExtraExit(s); };
}
