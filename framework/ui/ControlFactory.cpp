#include "framework/ui/ControlFactory.h"

#include "framework/ui/TLabel.h"
#include "framework/ui/TPanel.h"

namespace pla {

TLabel* MakeBoldLabel(TComponent* owner, TWinControl* parent, const char* name,
                      const QString& caption, int left, int top, int width) {
    auto* l = MakeControl<TLabel>(owner, parent, name);
    l->SetCaption(caption);
    l->SetFontBold(true);
    l->SetBounds(left, top, width, 13);
    return l;
}

TPanel* MakeTitleBar(TComponent* owner, TWinControl* parent, const char* name,
                     const QString& caption, int top) {
    auto* p = MakeControl<TPanel>(owner, parent, name);
    p->SetCaption(caption);
    p->SetFontBold(true);
    p->SetBevelOuter(TBevelCut::bvLowered);
    p->SetBounds(0, top, parent->Width(), 19);
    p->SetAlign(TAlign::alTop);
    return p;
}

} // namespace pla
