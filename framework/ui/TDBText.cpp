#include "framework/ui/TDBText.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/Field.h"

TDBText::TDBText(TComponent* owner)
    : TGraphicControl(owner), link_([this](TDataChange, TField*) { Refresh(); }) {
    SetBounds(0, 0, 65, 17);
}

void TDBText::Refresh() {
    TField* f = Field();
    TClientDataSet* ds = link_.DataSet();
    bool hasRecord = ds && ds->Active() && (!ds->IsEmpty() || link_.Editing());
    SetCaption(f && hasRecord ? f->DisplayText() : QString());
}
