#include "framework/ui/TControl.h"

#include "framework/ui/TForm.h"
#include "framework/ui/TWinControl.h"

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    NotifyDestroying();
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c) {
        if (auto* f = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(f);
        c = c->parent_;
    }
    return nullptr;
}

bool TControl::IsInside(const TControl* container) const {
    for (const TControl* c = this; c; c = c->parent_)
        if (c == container) return true;
    return false;
}

void TControl::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Changed(TChange::Enabled);
}

void TControl::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    Changed(TChange::Visible);
    if (align_ != TAlign::alNone) RequestParentRealign();
}

bool TControl::IsEnabledInTree() const {
    for (const TControl* c = this; c; c = c->parent_) {
        if (!c->enabled_) return false;
        if (dynamic_cast<const TForm*>(c)) break;
    }
    return true;
}

bool TControl::IsVisibleInTree() const {
    for (const TControl* c = this; c; c = c->parent_) {
        if (dynamic_cast<const TForm*>(c)) break; // a hidden form still has visible controls
        if (!c->visible_) return false;
    }
    return true;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    QRect r(left, top, std::max(0, width), std::max(0, height));
    if (r == bounds_) return;
    bool sizeChanged = r.size() != bounds_.size();
    bounds_ = r;
    Changed(TChange::Bounds);
    if (sizeChanged) BoundsChanged();
    if (align_ != TAlign::alNone) RequestParentRealign();
}

void TControl::SetAlignedBounds(const QRect& r) {
    QRect n(r.x(), r.y(), std::max(0, r.width()), std::max(0, r.height()));
    if (n == bounds_) return;
    bool sizeChanged = n.size() != bounds_.size();
    bounds_ = n;
    Changed(TChange::Bounds);
    if (sizeChanged) BoundsChanged();
}

void TControl::SetAlign(TAlign value) {
    if (align_ == value) return;
    align_ = value;
    Changed(TChange::Bounds);
    RequestParentRealign();
}

void TControl::RequestParentRealign() {
    if (parent_) parent_->Realign();
}

void TControl::SetCaption(const QString& value) {
    if (caption_ == value) return;
    caption_ = value;
    Changed(TChange::Text);
}

void TControl::SetAccessibleName(const QString& value) {
    if (accessibleName_ == value) return;
    accessibleName_ = value;
    Changed(TChange::Appearance);
}

void TControl::SetHint(const QString& value) {
    if (hint_ == value) return;
    hint_ = value;
    Changed(TChange::Appearance);
}

void TControl::SetShowHint(bool value) {
    if (showHint_ == value) return;
    showHint_ = value;
    Changed(TChange::Appearance);
}

void TControl::SetColor(const QColor& value) {
    if (color_ == value) return;
    color_ = value;
    Changed(TChange::Appearance);
}

void TControl::SetFont(const TFont& value) {
    if (font_ == value) return;
    font_ = value;
    Changed(TChange::Appearance);
}

void TControl::SetFontBold(bool bold) {
    TFont f = font_;
    f.Bold = bold;
    SetFont(f);
}

void TControl::SetFontColor(const QColor& color) {
    TFont f = font_;
    f.Color = color;
    SetFont(f);
}

void TControl::Click() {
    OnClick(*this);
}

bool TControl::FormKey(TWinControl&, int, TShiftState) {
    return false;
}

bool TControl::UserClick() {
    if (!IsEnabledInTree() || !IsVisibleInTree()) return false;
    Click();
    return true;
}
