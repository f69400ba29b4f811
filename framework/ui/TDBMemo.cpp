#include "framework/ui/TDBMemo.h"

TDBMemo::TDBMemo(TComponent* owner) : TDBEdit(owner) {
    multiline_ = true;
    SetBounds(0, 0, 185, 89);
}
