#pragma once

#include "framework/ui/TComponent.h"
#include "framework/ui/TShortCut.h"

#include <QString>
#include <vector>

// A menu entry (or a submenu holding entries). Its shortcut acts only while the item and the
// items above it are enabled.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(const TShortCut& value);
    // "Ctrl+G" etc.; an unknown text throws std::invalid_argument.
    void SetShortCut(const QString& text);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    // Enabled itself and in every parent item.
    bool IsEnabledInTree() const;

    // Sub-items, in order. Add appends (taking it from a previous parent).
    const std::vector<TMenuItem*>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    TMenuItem* ParentItem() const { return parentItem_; }

    TNotifyEvent OnClick;
    // A click: runs OnClick only while the item is enabled in its tree; true when it ran.
    bool Click();

    // The enabled item (this or below) whose shortcut matches; nullptr when none.
    TMenuItem* FindShortCut(int key, TShiftState shift);

private:
    QString caption_;
    TShortCut shortCut_;
    bool enabled_ = true;
    bool visible_ = true;
    std::vector<TMenuItem*> items_;
    TMenuItem* parentItem_ = nullptr;
};
