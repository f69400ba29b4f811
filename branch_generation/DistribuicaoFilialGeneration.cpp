// Confirming the screen: the checks, the generation call and what follows it.
#include "branch_generation/DistribuicaoFilial.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TMessages.h"
#include "server/DistEmbCardMethods.h"

#include <functional>

namespace {

// Runs an action when the scope ends, however it ends.
class OnScopeExit {
public:
    explicit OnScopeExit(std::function<void()> action) : action_(std::move(action)) {}
    ~OnScopeExit() { action_(); }
    OnScopeExit(const OnScopeExit&) = delete;
    OnScopeExit& operator=(const OnScopeExit&) = delete;

private:
    std::function<void()> action_;
};

} // namespace

void TfrmDistribuicaoFilial::sbtConfirmaClick(TComponent& sender) {
    VdDistribuicaoFilial();

    {
        // Restored in reverse order on every way out: first the group the user chose, then the
        // display, so the list is drawn once, as it was.
        cdsServicos->DisableControls();
        OnScopeExit display([this] { cdsServicos->EnableControls(); });
        OnScopeExit groupFilter([this] {
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
