// Confirming the screen: the checks, the generation call and what follows it.
#include "branch_generation/DistribuicaoFilial.h"
#include "framework/data/ScopeExit.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TMessages.h"
#include "remote/DistEmbCardMethods.h"

void TfrmDistribuicaoFilial::sbtConfirmaClick(TComponent& sender) {
    VdDistribuicaoFilial();

    {
        // Restored in reverse order on every way out: first the group the user chose, then the
        // display, so the list is drawn once, as it was.
        cdsServicos->DisableControls();
        pla::ScopeExit display([this] { cdsServicos->EnableControls(); });
        pla::ScopeExit groupFilter([this] {
            try {
                ApplyGroupFilter();
            } catch (...) {
                // A group filter that cannot be set again must not leave the ticked-only one.
                cdsServicos->SetFiltered(false);
            }
        });

        // Ticks of every group count, not only those of the group shown.
        cdsServicos->SetFiltered(false);
        cdsServicos->SetFilter(QStringLiteral("IDMARCADO = 'S'"));
        cdsServicos->SetFiltered(true);
        if (cdsServicos->IsEmpty()) {
            if (dbgServicos->CanFocus()) dbgServicos->SetFocus();
            Consiste::MensErro(msgPadrao->Msg(QStringLiteral("SERV_N_INF")), true);
        }
    }

    GeraDistribuicaoFilial();
    pla::Dialogs().ShowInformation(msgPadrao->Msg(QStringLiteral("OPER_SUCC")));
    TfrmRotiGeral::sbtConfirmaClick(sender);
}

void TfrmDistribuicaoFilial::GeraDistribuicaoFilial() {
    const QString replace = chbSubstitui->Checked() ? QStringLiteral("S") : QStringLiteral("N");
    pla::DistEmbCardMethods server(Net());
    pla::BusyScope busy(Zelvora::MainWindow());
    server.GeraDistribuicaoFilial(depCardapio->GetDate(), cdsServicos->Data(), replace);
}

void TfrmDistribuicaoFilial::sbtHelpClick(TComponent&) {
    Zelvora::ShowHelp(QStringLiteral("PLA15420"));
}
