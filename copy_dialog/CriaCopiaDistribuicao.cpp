#include "copy_dialog/CriaCopiaDistribuicao.h"

#include "copy_dialog/CopiaDistribuicao.h"

TfrmCopiaDistribuicao* frmCopiaDistribuicao = nullptr;

std::optional<QDate> CriaCopiaDistribuicao(const QDate& menuDate) {
    // Owned by nobody but this global: it lives as long as the application.
    if (!frmCopiaDistribuicao) frmCopiaDistribuicao = new TfrmCopiaDistribuicao(nullptr);
    return frmCopiaDistribuicao->Ask(menuDate);
}

namespace pla {

void DestroyCopiaDistribuicao() {
    TfrmCopiaDistribuicao* dialog = frmCopiaDistribuicao;
    frmCopiaDistribuicao = nullptr;
    TForm::Free(dialog);
}

} // namespace pla
