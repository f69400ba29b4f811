#include "framework/ui/TScrollBox.h"

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 41);
}
