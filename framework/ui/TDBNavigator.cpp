#include "framework/ui/TDBNavigator.h"

#include "framework/data/ClientDataSet.h"
#include "framework/ui/DialogService.h"

TDBNavigator::TDBNavigator(TComponent* owner)
    : TWinControl(owner), link_([this](TDataChange, TField*) { Changed(TChange::Data); }) {
    SetBounds(0, 0, 240, 25);
}

bool TDBNavigator::ButtonVisible(TNavigateBtn b) const {
    return visibleMask_ & (1u << static_cast<unsigned>(b));
}

void TDBNavigator::SetButtonVisible(TNavigateBtn b, bool visible) {
    unsigned bit = 1u << static_cast<unsigned>(b);
    visibleMask_ = visible ? (visibleMask_ | bit) : (visibleMask_ & ~bit);
    Changed(TChange::Appearance);
}

bool TDBNavigator::ButtonEnabled(TNavigateBtn b) const {
    TClientDataSet* ds = link_.DataSet();
    if (!ds || !ds->Active() || !IsEnabledInTree()) return false;
    bool editing = link_.Editing();
    switch (b) {
    case TNavigateBtn::nbFirst:
    case TNavigateBtn::nbPrior:
        return !editing && ds->RecNo() > 1;
    case TNavigateBtn::nbNext:
    case TNavigateBtn::nbLast:
        return !editing && ds->RecNo() < ds->RecordCount();
    case TNavigateBtn::nbInsert:
        return !editing;
    case TNavigateBtn::nbDelete:
        return !ds->IsEmpty();
    case TNavigateBtn::nbEdit:
        return !editing && !ds->IsEmpty();
    case TNavigateBtn::nbPost:
    case TNavigateBtn::nbCancel:
        return editing;
    case TNavigateBtn::nbRefresh:
        return !editing;
    }
    return false;
}

bool TDBNavigator::BtnClick(TNavigateBtn b) {
    if (!ButtonVisible(b) || !IsVisibleInTree() || !ButtonEnabled(b)) return false;
    TClientDataSet* ds = link_.DataSet();
    switch (b) {
    case TNavigateBtn::nbFirst:
        ds->First();
        break;
    case TNavigateBtn::nbPrior:
        ds->Prior();
        break;
    case TNavigateBtn::nbNext:
        ds->Next();
        break;
    case TNavigateBtn::nbLast:
        ds->Last();
        break;
    case TNavigateBtn::nbInsert:
        ds->Insert();
        break;
    case TNavigateBtn::nbDelete:
        if (confirmDelete_ && !pla::Dialogs().AskOkCancel(QStringLiteral("Excluir registro?")))
            return true;
        ds->Delete();
        break;
    case TNavigateBtn::nbEdit:
        ds->Edit();
        break;
    case TNavigateBtn::nbPost:
        ds->Post();
        break;
    case TNavigateBtn::nbCancel:
        ds->Cancel();
        break;
    case TNavigateBtn::nbRefresh:
        break;
    }
    OnNavClick(*this, b);
    return true;
}
