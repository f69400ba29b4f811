#pragma once

#include "framework/ui/Keys.h"

#include <QChar>
#include <QKeyEvent>

namespace pla {

// Translation between Qt key events and the key codes and modifier flags of the component
// model.
class QtKeys {
public:
    // The model's modifier flags for Qt's.
    static TShiftState ShiftState(Qt::KeyboardModifiers modifiers);
    // The model's key code for a Qt key, or 0 when the model has no code for it (punctuation,
    // accented letters: those arrive only as typed characters).
    static int VirtualKey(int qtKey);
    // The character a key event types into a control, or a null QChar (function keys,
    // Ctrl/Alt combinations, keys that type more than one character).
    static QChar TypedChar(const QKeyEvent& event);
    // True for key events that only move keyboard modifiers (Shift, Ctrl ... alone).
    static bool IsModifierOnly(int qtKey);
};

} // namespace pla
