#pragma once

// Key codes and modifier flags as the desktop runtime names them. Letter keys use the
// upper-case letter's code ('A'..'Z'), digit keys the digit's code ('0'..'9').

constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F12 = 0x7B;

// Modifier keys held while a key goes down; combine with |.
using TShiftState = unsigned;
constexpr TShiftState ssNone = 0;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;

// The keys that open a list on the desktop: F2, or Alt+Down as in a combo box.
constexpr bool OpensList(int key, TShiftState shift) {
    return (key == VK_F2 && shift == ssNone) || (key == VK_DOWN && shift == ssAlt);
}
