#include "framework/qt/LabelBinding.h"

#include "framework/ui/TLabel.h"

#include <QFontMetrics>
#include <QLabel>

namespace pla {

LabelBinding::LabelBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, new QLabel(parent)) {
    widget_->setFocusPolicy(Qt::NoFocus);
}

void LabelBinding::SyncBounds() {
    auto* label = static_cast<QLabel*>(widget_.data());
    QRect r = control_.BoundsRect();
    const QFontMetrics metrics(label->font());
    const int width = metrics.horizontalAdvance(label->text()) + 2;
    if (width > r.width() && (label->alignment() & Qt::AlignLeft)) r.setWidth(width);
    const int grow = metrics.height() - r.height();
    if (grow > 0) r.adjust(0, -grow / 2, 0, grow - grow / 2);
    label->setGeometry(r);
}

void LabelBinding::SyncText() {
    static_cast<QLabel*>(widget_.data())->setText(control_.Caption());
    SyncBounds();
}

void LabelBinding::SyncAppearance() {
    ControlBinding::SyncAppearance();
    auto* label = static_cast<QLabel*>(widget_.data());
    label->setTextFormat(Qt::PlainText);
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    if (auto* l = dynamic_cast<TLabel*>(&control_)) {
        if (l->Alignment() == TAlignment::taCenter) align = Qt::AlignHCenter | Qt::AlignVCenter;
        if (l->Alignment() == TAlignment::taRightJustify) align = Qt::AlignRight | Qt::AlignVCenter;
        label->setAutoFillBackground(!l->Transparent());
        if (!l->Transparent()) {
            QPalette pal = label->palette();
            pal.setColor(QPalette::Window, control_.Color());
            label->setPalette(pal);
        }
    }
    label->setAlignment(align);
    SyncBounds();
}

} // namespace pla
