#include "framework/ui/TComboBox.h"

#include "framework/ui/Colors.h"
#include "framework/ui/TForm.h"

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

void TComboBox::SetItems(const QStringList& items) {
    items_ = items;
    itemIndex_ = -1;
    Changed(TChange::Items);
}

void TComboBox::AddItem(const QString& item) {
    items_.append(item);
    Changed(TChange::Items);
}

void TComboBox::Clear() {
    items_.clear();
    itemIndex_ = -1;
    Changed(TChange::Items);
}

void TComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= Count()) index = -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    Changed(TChange::Selection);
}

QString TComboBox::Text() const {
    return itemIndex_ >= 0 ? items_.at(itemIndex_) : QString();
}

bool TComboBox::UserSelect(int index) {
    if (index < 0 || index >= Count() || !IsEnabledInTree() || !IsVisibleInTree()) return false;
    if (TForm* f = ParentForm(); f && f->Showing() && !Focused()) SetFocus();
    SetItemIndex(index);
    OnChange(*this);
    return true;
}

bool TComboBox::UserSelectText(const QString& text) {
    int i = IndexOf(text);
    return i >= 0 && UserSelect(i);
}

void TComboBox::DefaultKeyDown(int& key, TShiftState shift) {
    if (shift & ssAlt) return;
    int target = itemIndex_;
    if (key == VK_DOWN)
        target = std::min(itemIndex_ + 1, Count() - 1);
    else if (key == VK_UP)
        target = std::max(itemIndex_ - 1, 0);
    else
        return;
    if (target < 0 || target == itemIndex_) return;
    SetItemIndex(target);
    OnChange(*this);
}
