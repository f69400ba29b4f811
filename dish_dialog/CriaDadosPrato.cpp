#include "dish_dialog/CriaDadosPrato.h"

#include "dish_dialog/DadosPrato.h"

TfrmDadosPrato* frmDadosPrato = nullptr;

bool CriaDadosPrato(double& diners, double& quantity, const QString& unit, double& extra,
                    double qtPerPerson, const QString& dish) {
    // Owned by nobody but this global: it lives as long as the application.
    if (!frmDadosPrato) frmDadosPrato = new TfrmDadosPrato(nullptr);
    return frmDadosPrato->Ask(diners, quantity, unit, extra, qtPerPerson, dish);
}

namespace pla {

void DestroyDadosPrato() {
    TfrmDadosPrato* dialog = frmDadosPrato;
    frmDadosPrato = nullptr;
    TForm::Free(dialog);
}

} // namespace pla
