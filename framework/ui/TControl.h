#pragma once

#include "framework/ui/Keys.h"
#include "framework/ui/TComponent.h"
#include "framework/ui/TFont.h"

#include <QColor>
#include <QRect>
#include <QString>

class TWinControl;
class TForm;

// Where a control sits inside its parent: none keeps its own bounds; top, bottom, left and
// right take a strip of the remaining client area; client takes what is left.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A visual control: parent, bounds, alignment, enabled/visible flags, caption, hint, colour
// and font. Every change is reported through the component change hook.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    // Moves the control into another container (or none); both containers re-align.
    virtual void SetParent(TWinControl* parent);
    // The form this control lives on (itself for a form), or nullptr.
    TForm* ParentForm() const;
    // True when parent is this control or one of its containers.
    bool IsInside(const TControl* container) const;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Enabled and visible itself and in every container up to its form.
    bool IsEnabledInTree() const;
    bool IsVisibleInTree() const;

    int Left() const { return bounds_.x(); }
    int Top() const { return bounds_.y(); }
    int Width() const { return bounds_.width(); }
    int Height() const { return bounds_.height(); }
    QRect BoundsRect() const { return bounds_; }
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    // Sizes below zero are taken as zero. An aligned control may be moved again by the
    // alignment of its parent.
    void SetBounds(int left, int top, int width, int height);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    QString Hint() const { return hint_; }
    void SetHint(const QString& value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    // The name a screen reader says for the control when neither a label, its caption nor
    // its hint says it (see pla::AccessibleName); empty by default.
    QString AccessibleName() const { return accessibleName_; }
    void SetAccessibleName(const QString& value);
    QColor Color() const { return color_; }
    void SetColor(const QColor& value);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);
    void SetFontBold(bool bold);
    void SetFontColor(const QColor& color);

    // Fired by Click(): a user click, or code calling Click() (which ignores Enabled).
    TNotifyEvent OnClick;
    virtual void Click();
    // What a mouse click does: nothing and false when the control is disabled or hidden in
    // its tree; otherwise (after focusing a focusable control) Click() and true.
    virtual bool UserClick();
    // A key the focused control's own handlers let pass, offered by the form to that control
    // and then to the controls beside it before the menu shortcuts: Ctrl+A selecting a text,
    // F2 opening a grid cell's list or the lookup of the edit a lookup button serves. True
    // when this control used it.
    virtual bool FormKey(TWinControl& focused, int key, TShiftState shift);

    // Bounds changed by the parent's alignment; no re-alignment of the parent.
    void SetAlignedBounds(const QRect& r);

protected:
    // Called when the client size changed; containers lay out their children.
    virtual void BoundsChanged() {}
    // Notifies the parent that an aligned child changed shape.
    void RequestParentRealign();

private:
    friend class TWinControl;
    TWinControl* parent_ = nullptr;
    bool enabled_ = true;
    bool visible_ = true;
    QRect bounds_{0, 0, 0, 0};
    TAlign align_ = TAlign::alNone;
    QString caption_;
    QString hint_;
    QString accessibleName_;
    bool showHint_ = false;
    QColor color_{240, 240, 240};
    TFont font_;
};
