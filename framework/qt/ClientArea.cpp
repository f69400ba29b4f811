#include "framework/qt/ClientArea.h"

namespace pla {

ClientArea::ClientArea(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ClientArea::SetPreferredSize(const QSize& size) {
    if (size == preferred_) return;
    preferred_ = size;
    updateGeometry();
}

} // namespace pla
