#include "framework/qt/CheckBoxBinding.h"

#include "framework/qt/FormRenderer.h"
#include "framework/ui/TCheckBox.h"

#include <QCheckBox>

namespace pla {

CheckBoxBinding::CheckBoxBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, new QCheckBox(parent)) {
    auto* box = static_cast<QCheckBox*>(widget_.data());
    box->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(box, &QCheckBox::clicked, &context_, [this] {
        if (Syncing()) return;
        Sync(TChange::Selection); // the model decides
        auto& model = static_cast<TCheckBox&>(control_);
        renderer_.RunAction([&model] { model.UserClick(); });
    });
}

void CheckBoxBinding::SyncText() {
    static_cast<QCheckBox*>(widget_.data())->setText(control_.Caption());
}

void CheckBoxBinding::SyncSelection() {
    static_cast<QCheckBox*>(widget_.data())
        ->setChecked(static_cast<TCheckBox&>(control_).Checked());
}

} // namespace pla
