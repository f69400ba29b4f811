// Construction, life cycle and the opening sequence of the branch generation screen.
#include "branch_generation/DistribuicaoFilial.h"

#include "framework/services/Consiste.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"

TfrmDistribuicaoFilial::TfrmDistribuicaoFilial(TComponent* owner) : TfrmRotiGeral(owner) {
    BuildDataSets();
    BuildLayout();
    BuildMessages();
    BindEvents();
}

TfrmDistribuicaoFilial::~TfrmDistribuicaoFilial() {
    // Grids and edits listen to the data sources kept as members: they go first.
    DestroyComponents();
}

void TfrmDistribuicaoFilial::FormCreate() {
    groups_.Clear();
}

void TfrmDistribuicaoFilial::FormClose(TComponent&) {
    // Hidden, never destroyed: the framework hides the form once this handler returns.
}

TNetConnection& TfrmDistribuicaoFilial::Net() const {
    if (!net_)
        Consiste::MensErro(QStringLiteral("A tela Distribuição do Cardápio não está aberta: não há "
                                          "conexão com o servidor de aplicação."),
                           true);
    return *net_;
}

int TfrmDistribuicaoFilial::Abre(const QString& cdFilial, const QDate& dtCardapio) {
    edtCdFilial->SetText(cdFilial);
    depCardapio->SetDate(dtCardapio);
    chbSubstitui->SetChecked(false);
    VdFilial();
    ApplyBranchTie(true);
    depCardapioDateChange(*depCardapio);
    GetGruposServicos();
    GetServicos(edtCdFilial->Text());
    // Every opening starts on the date, whatever an earlier opening left focused.
    FocusControl(depCardapio);
    return ShowModal();
}
