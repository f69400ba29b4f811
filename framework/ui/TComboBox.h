#pragma once

#include "framework/ui/TWinControl.h"

#include <QStringList>

// A drop-down list. Code changes items and index silently; OnChange fires only for a
// user's choice (UserSelect, or Up/Down while focused).
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);

    const QStringList& Items() const { return items_; }
    // Replaces the items; the selection is cleared.
    void SetItems(const QStringList& items);
    void AddItem(const QString& item);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }

    // -1 when nothing is selected.
    int ItemIndex() const { return itemIndex_; }
    // From code: no OnChange. Out-of-range values select nothing.
    void SetItemIndex(int index);
    // The selected item's text, or empty.
    QString Text() const;
    // Index of the item with exactly this text, or -1.
    int IndexOf(const QString& text) const { return static_cast<int>(items_.indexOf(text)); }

    TNotifyEvent OnChange;

    // The user picks item index (giving the focus first as a mouse user does, when the form
    // is shown); OnChange fires. False when the index is out of range or the control cannot
    // be used.
    bool UserSelect(int index);
    // The user picks the item with this text; false when there is none.
    bool UserSelectText(const QString& text);

protected:
    void DefaultKeyDown(int& key, TShiftState shift) override;

private:
    QStringList items_;
    int itemIndex_ = -1;
};
