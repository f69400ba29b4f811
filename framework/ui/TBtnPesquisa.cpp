#include "framework/ui/TBtnPesquisa.h"

TBtnPesquisa::TBtnPesquisa(TComponent* owner) : TSpeedButton(owner) {
    SetBounds(0, 0, 21, 21);
    SetFlat(true);
    SetShowHint(true);
    SetHint(QStringLiteral("Pesquisar"));
}
