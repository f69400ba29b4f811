#pragma once

#include "framework/ui/TMenuItem.h"

// A form's menu bar: its top-level entries are the sub-items of Items().
class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* owner);

    // The invisible root whose sub-items are the menu bar's entries.
    TMenuItem& Items() { return root_; }
    const TMenuItem& Items() const { return root_; }

    // Clicks the enabled item whose shortcut is key+shift; true when one ran.
    bool DispatchShortCut(int key, TShiftState shift);

private:
    TMenuItem root_{nullptr};
};
