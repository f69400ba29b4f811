#include "framework/ui/TButtonFlat.h"

TButtonFlat::TButtonFlat(TComponent* owner) : TSpeedButton(owner) {
    SetBounds(0, 0, 21, 21);
    SetFlat(true);
    SetShowHint(true);
}
