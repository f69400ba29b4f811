#include "framework/ui/TMenuItem.h"

#include <algorithm>
#include <stdexcept>

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    NotifyDestroying();
    if (parentItem_) parentItem_->Remove(this);
    for (TMenuItem* i : items_)
        i->parentItem_ = nullptr;
}

void TMenuItem::SetCaption(const QString& value) {
    if (caption_ == value) return;
    caption_ = value;
    Changed(TChange::Text);
}

void TMenuItem::SetShortCut(const TShortCut& value) {
    if (shortCut_ == value) return;
    shortCut_ = value;
    Changed(TChange::Appearance);
}

void TMenuItem::SetShortCut(const QString& text) {
    auto s = TShortCut::Parse(text);
    if (!s) throw std::invalid_argument(("atalho desconhecido: " + text).toStdString());
    SetShortCut(*s);
}

void TMenuItem::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Changed(TChange::Enabled);
}

void TMenuItem::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    Changed(TChange::Visible);
}

bool TMenuItem::IsEnabledInTree() const {
    for (const TMenuItem* i = this; i; i = i->parentItem_)
        if (!i->enabled_) return false;
    return true;
}

void TMenuItem::Add(TMenuItem* item) {
    if (!item || item == this) return;
    if (item->parentItem_) item->parentItem_->Remove(item);
    items_.push_back(item);
    item->parentItem_ = this;
    Changed(TChange::Items);
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parentItem_ = nullptr;
    Changed(TChange::Items);
}

bool TMenuItem::Click() {
    if (!IsEnabledInTree()) return false;
    OnClick(*this);
    return true;
}

TMenuItem* TMenuItem::FindShortCut(int key, TShiftState shift) {
    if (!enabled_) return nullptr;
    if (!shortCut_.IsEmpty() && shortCut_.Key == key && shortCut_.Shift == shift) return this;
    for (TMenuItem* i : items_)
        if (TMenuItem* found = i->FindShortCut(key, shift)) return found;
    return nullptr;
}
