#include "framework/ui/TMainMenu.h"

TMainMenu::TMainMenu(TComponent* owner) : TComponent(owner) {}

bool TMainMenu::DispatchShortCut(int key, TShiftState shift) {
    if (key == 0) return false;
    TMenuItem* item = root_.FindShortCut(key, shift);
    return item && item->Click();
}
