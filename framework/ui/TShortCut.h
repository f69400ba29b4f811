#pragma once

#include "framework/ui/Keys.h"

#include <QKeySequence>
#include <QString>
#include <optional>

// A key with its modifiers, as menu shortcuts and scripted key strokes name them.
struct TShortCut {
    int Key = 0; // 0: no shortcut
    TShiftState Shift = ssNone;

    bool IsEmpty() const { return Key == 0; }
    bool operator==(const TShortCut&) const = default;

    // "Ctrl+G", "Delete", "Shift+Tab", "Enter", "Backspace", "Space", "F2", "A" ... (English key
    // names, case-insensitive, modifiers Ctrl, Shift, Alt). Nothing for an unknown name.
    static std::optional<TShortCut> Parse(const QString& text);
    // The same notation back ("Ctrl+G").
    QString ToText() const;
    // For a Qt front end: the equivalent key sequence, and the way back (nothing when the Qt
    // key has no code here).
    QKeySequence ToKeySequence() const;
    static std::optional<TShortCut> FromQt(int qtKey, Qt::KeyboardModifiers modifiers);
};
