#pragma once

#include "framework/qt/ControlBinding.h"

namespace pla {

// Push buttons (focusable), glyph push buttons (drawn as tool buttons, reached by Tab only)
// and tool buttons (flat or not, with a glyph, never focused): a click is the model's user
// click.
class ButtonBinding : public ControlBinding {
public:
    ButtonBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

    // The icon of a glyph: the colour of its bottom-left pixel is transparent, as tool
    // button glyphs are drawn.
    static QPixmap GlyphPixmap(const QImage& glyph);

protected:
    void SyncText() override;
    void SyncAppearance() override;

private:
    bool tool_ = false;
};

} // namespace pla
