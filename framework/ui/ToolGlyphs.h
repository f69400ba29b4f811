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
    enum class Light { Green, Grey, Red };

    // A 16 by 16 tool glyph.
    static QImage Tool(Kind kind);
    // A 16 by 16 tick box in the 16 classic colours: white box, grey frame, black tick when
    // checked. The frame leaves the same two-pixel olive margin on every side.
    static QImage CheckBox(bool checked);
    // A 17 by 17 round status light in the 16 classic colours, its centre the bright shade of
    // the light's colour.
    static QImage StatusLight(Light light);
};

} // namespace pla
