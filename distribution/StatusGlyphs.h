#pragma once

#include <QColor>
#include <QImage>

namespace pla {

// The small 16-colour pictures the distribution screen keeps in hidden images: the status
// lights of the service list and the tick boxes of the dishes-in-packaging grid. Every
// picture has an olive (128,128,0) background, the colour the grids draw as transparent.
class StatusGlyphs {
public:
    enum class Light { Green, Grey, Red };

    // A 17 by 17 status light.
    static QImage StatusLight(Light light);
    // A 16 by 16 tick box, ticked or not.
    static QImage CheckBox(bool checked);
    // The colour treated as transparent.
    static QColor Background() { return QColor(128, 128, 0); }
};

} // namespace pla
