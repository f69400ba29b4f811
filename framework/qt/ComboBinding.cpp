#include "framework/qt/ComboBinding.h"

#include "framework/qt/FormRenderer.h"
#include "framework/ui/TComboBox.h"

#include <QComboBox>
#include <QKeyEvent>

namespace pla {

ComboBinding::ComboBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, new QComboBox(parent)) {
    auto* combo = static_cast<QComboBox*>(widget_.data());
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->setEditable(false);
    QObject::connect(combo, &QComboBox::activated, &context_, [this](int index) {
        if (Syncing()) return;
        auto& model = static_cast<TComboBox&>(control_);
        // The widget shows what the model holds until the model's choice has run.
        Sync(TChange::Selection);
        renderer_.RunAction([&model, index] { model.UserSelect(index); });
    });
}

bool ComboBinding::WidgetKey(const QKeyEvent& key) const {
    const bool alt = key.modifiers() == Qt::AltModifier;
    return (alt && (key.key() == Qt::Key_Down || key.key() == Qt::Key_Up)) ||
           (key.key() == Qt::Key_F4 && key.modifiers() == Qt::NoModifier);
}

void ComboBinding::SyncItems() {
    auto* combo = static_cast<QComboBox*>(widget_.data());
    const auto& model = static_cast<TComboBox&>(control_);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    if (shown != model.Items()) {
        combo->clear();
        combo->addItems(model.Items());
    }
    SyncSelection();
}

void ComboBinding::SyncSelection() {
    auto* combo = static_cast<QComboBox*>(widget_.data());
    const auto& model = static_cast<TComboBox&>(control_);
    if (combo->count() != model.Count()) {
        combo->clear();
        combo->addItems(model.Items());
    }
    combo->setCurrentIndex(model.ItemIndex());
}

void ComboBinding::SyncAppearance() {
    ControlBinding::SyncAppearance();
    QPalette pal = widget_->palette();
    SetEnabledColor(pal, QPalette::Base, control_.Color());
    widget_->setPalette(pal);
}

} // namespace pla
