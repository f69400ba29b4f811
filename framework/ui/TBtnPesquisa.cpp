#include "framework/ui/TBtnPesquisa.h"

TBtnPesquisa::TBtnPesquisa(TComponent* owner) : TSpeedButton(owner) {
    SetBounds(0, 0, 21, 21);
    SetFlat(true);
    SetShowHint(true);
    SetHint(QStringLiteral("Pesquisar"));
}

bool TBtnPesquisa::FormKey(TWinControl& focused, int key, TShiftState shift) {
    return &focused == edit_ && OpensList(key, shift) && UserClick();
}
