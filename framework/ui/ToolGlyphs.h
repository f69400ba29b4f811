#pragma once

#include <QColor>
#include <QImage>

namespace pla {

// Small generated pictures for tool buttons and grid cells, drawn on an olive background
// (red 128, green 128, blue 0) that is drawn transparent.
class ToolGlyphs {
public:
    enum class Kind {
        Include,
        Change,
        Delete,
        Find,
        Verify,
        Confirm,
        Cancel,
        Print,
        Help,
        Close,
        Generate,
        Redistribute,
        Erase
    };
    // A 16 by 16 tool glyph.
    static QImage Tool(Kind kind);
    // A 16 by 16 check box: white box, dark sunken border, black tick when checked.
    static QImage CheckBox(bool checked);
    // A 17 by 17 round status light of the given colour.
    static QImage Light(const QColor& color);
};

} // namespace pla
