#include "framework/ui/TWinControl.h"

#include "framework/ui/TForm.h"

#include <algorithm>
#include <stdexcept>

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    NotifyDestroying();
    if (TForm* f = ParentForm()) f->ForgetControl(this);
    if (Parent()) {
        auto& l = Parent()->tabList_;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
    }
    for (TControl* c : controls_)
        c->parent_ = nullptr;
    controls_.clear();
    tabList_.clear();
}

bool TWinControl::ContainsControl(const TControl* c) const {
    return c && c->IsInside(this);
}

void TWinControl::InsertControl(TControl* c) {
    controls_.push_back(c);
    c->parent_ = this;
    if (auto* w = dynamic_cast<TWinControl*>(c)) tabList_.push_back(w);
    Changed(TChange::Children);
    if (c->Align() != TAlign::alNone) Realign();
}

void TWinControl::RemoveControl(TControl* c) {
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (TForm* f = ParentForm()) f->ForgetControl(w);
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
    }
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    c->parent_ = nullptr;
    Changed(TChange::Children);
    if (c->Align() != TAlign::alNone) Realign();
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& l = Parent()->tabList_;
    return static_cast<int>(std::find(l.begin(), l.end(), this) - l.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!Parent()) return;
    auto& l = Parent()->tabList_;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    order = std::clamp(order, 0, static_cast<int>(l.size()));
    l.insert(l.begin() + order, this);
}

bool TWinControl::CanFocus() const {
    return ParentForm() != nullptr && IsEnabledInTree() && IsVisibleInTree();
}

void TWinControl::FocusIfPossible() {
    TForm* form = ParentForm();
    if (form && (!form->Showing() || CanFocus())) SetFocus();
}

bool TWinControl::Focused() const {
    TForm* f = ParentForm();
    return f && f->ActiveControl() == this;
}

void TWinControl::SetFocus() {
    TForm* f = ParentForm();
    if (!f) throw std::logic_error("controle fora de um formulário não recebe o foco");
    f->FocusControl(this);
}

void TWinControl::KeyDown(int& key, TShiftState shift) {
    OnKeyDown(*this, key, shift);
    if (key != 0) DefaultKeyDown(key, shift);
}

void TWinControl::KeyPress(QChar& ch) {
    OnKeyPress(*this, ch);
    if (!ch.isNull()) DefaultKeyPress(ch);
}

void TWinControl::DoEnter() {
    OnEnter(*this);
}

void TWinControl::DoExit() {
    OnExit(*this);
}

void TWinControl::BoundsChanged() {
    OnResize(*this);
    Realign();
}

void TWinControl::Realign() {
    if (aligning_) return;
    aligning_ = true;
    QRect cr = ClientRect();
    int l = cr.left(), t = cr.top(), r = cr.left() + cr.width(), b = cr.top() + cr.height();
    auto take = [&](TAlign a) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Align() == a && c->Visible()) list.push_back(c);
        // Controls keep their visual order: the one nearer to the edge goes first.
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
            case TAlign::alTop:
                return x->Top() < y->Top();
            case TAlign::alBottom:
                return x->Top() + x->Height() > y->Top() + y->Height();
            case TAlign::alLeft:
                return x->Left() < y->Left();
            case TAlign::alRight:
                return x->Left() + x->Width() > y->Left() + y->Width();
            default:
                return false;
            }
        });
        return list;
    };
    try {
        for (TControl* c : take(TAlign::alTop)) {
            int h = c->Height();
            c->SetAlignedBounds(QRect(l, t, r - l, h));
            t += h;
        }
        for (TControl* c : take(TAlign::alBottom)) {
            int h = c->Height();
            c->SetAlignedBounds(QRect(l, b - h, r - l, h));
            b -= h;
        }
        for (TControl* c : take(TAlign::alLeft)) {
            int w = c->Width();
            c->SetAlignedBounds(QRect(l, t, w, b - t));
            l += w;
        }
        for (TControl* c : take(TAlign::alRight)) {
            int w = c->Width();
            c->SetAlignedBounds(QRect(r - w, t, w, b - t));
            r -= w;
        }
        for (TControl* c : take(TAlign::alClient))
            c->SetAlignedBounds(QRect(l, t, r - l, b - t));
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}
