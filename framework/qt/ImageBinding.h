#pragma once

#include "framework/qt/ControlBinding.h"

namespace pla {

// Image controls: the picture, drawn with olive as the transparent colour when the control is
// transparent.
class ImageBinding : public ControlBinding {
public:
    ImageBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

    // The picture with every olive pixel made transparent.
    static QImage WithoutOlive(const QImage& picture);

protected:
    void SyncAppearance() override;
};

} // namespace pla
