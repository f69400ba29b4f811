#pragma once

#include <QString>

#include "framework/ui/Keys.h"

namespace pla {

// Reads a key as scenarios write it: "Delete", "Backspace", "Space", "Enter", "Tab",
// "Escape", arrows ("Up", "Down", "Left", "Right"), "Home", "End", "PageUp", "PageDown",
// "Insert", "F1".."F12", a letter or digit, each optionally after "Ctrl+", "Shift+", "Alt+".
// False when the name is unknown.
bool ParseKeyName(const QString& name, int& key, TShiftState& shift);

} // namespace pla
