#pragma once

#include "framework/ui/TComponent.h"
#include "framework/ui/TWinControl.h"

#include <QString>

class TLabel;
class TPanel;

namespace pla {

// Creates a control of type T owned by owner (which destroys it), named name and placed in
// parent.
template <class T> T* MakeControl(TComponent* owner, TWinControl* parent, const char* name) {
    auto* c = new T(owner);
    c->SetName(QString::fromLatin1(name));
    c->SetParent(parent);
    return c;
}

// A bold caption label, 13 pixels high, at the given place in parent.
TLabel* MakeBoldLabel(TComponent* owner, TWinControl* parent, const char* name,
                      const QString& caption, int left, int top, int width);

// A lowered, 19 pixels high bold caption strip aligned to the top of parent, as wide as parent.
TPanel* MakeTitleBar(TComponent* owner, TWinControl* parent, const char* name,
                     const QString& caption, int top);

} // namespace pla
