#pragma once

#include <QColor>

// Named system colours used by the screens. Values are the classic desktop palette, so a
// headless drawing and the Qt front end agree on them.

inline const QColor clInfoBk{255, 255, 225};  // tooltip background: entry fields and work grids
inline const QColor clBtnFace{240, 240, 240}; // button face: disabled/grey fields, panels
inline const QColor clWindow{255, 255, 255};  // ordinary edit and grid background
inline const QColor clWindowText{0, 0, 0};    // ordinary text
inline const QColor clHighlight{0, 120, 215}; // selected cell background
inline const QColor clHighlightText{255, 255, 255};
inline const QColor clGrayText{109, 109, 109};
inline const QColor clBlue{0, 0, 255};
inline const QColor clOlive{128, 128, 0}; // the transparent colour of 16-colour glyphs
inline const QColor clBlack{0, 0, 0};
inline const QColor clWhite{255, 255, 255};
