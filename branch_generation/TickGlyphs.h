#pragma once

#include <QColor>
#include <QImage>

namespace pla {

// The 16 by 16 tick boxes of the branch generation list, as 16-colour pictures whose
// background is olive (128,128,0), the colour the grid draws as transparent.
class TickGlyphs {
public:
    // A ticked (true) or empty (false) box.
    static QImage Box(bool ticked);
    // The colour treated as transparent.
    static QColor Background() { return QColor(128, 128, 0); }
};

} // namespace pla
