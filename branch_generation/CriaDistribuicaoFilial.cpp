#include "branch_generation/CriaDistribuicaoFilial.h"

#include "branch_generation/DistribuicaoFilial.h"

TfrmDistribuicaoFilial* frmDistribuicaoFilial = nullptr;

namespace {

// Lends the connection to the screen for one opening only: the distribution screen that owns
// it may be gone by the next one.
class ConnectionLoan {
public:
    ConnectionLoan(TfrmDistribuicaoFilial& screen, TNetConnection& net) : screen_(screen) {
        screen_.SetConnection(&net);
    }
    ~ConnectionLoan() {
        // The screen may have been destroyed while it was shown.
        if (frmDistribuicaoFilial == &screen_) screen_.SetConnection(nullptr);
    }
    ConnectionLoan(const ConnectionLoan&) = delete;
    ConnectionLoan& operator=(const ConnectionLoan&) = delete;

private:
    TfrmDistribuicaoFilial& screen_;
};

} // namespace

void CriaDistribuicaoFilial(const QString& cdFilial, const QDate& dtCardapio, TNetConnection& net) {
    if (!frmDistribuicaoFilial) {
        auto* screen = new TfrmDistribuicaoFilial(nullptr);
        try {
            screen->DoCreate();
        } catch (...) {
            TForm::Free(screen);
            throw;
        }
        frmDistribuicaoFilial = screen;
        // Whoever destroys the screen later, the global must not keep pointing at it.
        screen->AddChangeListener([screen](TComponent&, TChange what) {
            if (what == TChange::Destroyed && frmDistribuicaoFilial == screen)
                frmDistribuicaoFilial = nullptr;
        });
    }
    TfrmDistribuicaoFilial& screen = *frmDistribuicaoFilial;
    ConnectionLoan loan(screen, net);
    screen.Abre(cdFilial, dtCardapio);
}
