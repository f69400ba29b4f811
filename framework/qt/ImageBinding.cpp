#include "framework/qt/ImageBinding.h"

#include "framework/ui/Colors.h"
#include "framework/ui/TImage.h"

#include <QLabel>

namespace pla {

ImageBinding::ImageBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, new QLabel(parent)) {
    widget_->setFocusPolicy(Qt::NoFocus);
}

QImage ImageBinding::WithoutOlive(const QImage& picture) {
    QImage img = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb olive = clOlive.rgb() & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFF) == olive) line[x] = 0;
    }
    return img;
}

void ImageBinding::SyncAppearance() {
    ControlBinding::SyncAppearance();
    auto& image = static_cast<TImage&>(control_);
    auto* label = static_cast<QLabel*>(widget_.data());
    const QImage shown = image.Transparent() ? WithoutOlive(image.Picture()) : image.Picture();
    label->setPixmap(shown.isNull() ? QPixmap() : QPixmap::fromImage(shown));
}

} // namespace pla
