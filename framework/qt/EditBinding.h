#pragma once

#include "framework/qt/ControlBinding.h"

class TCustomEdit;

namespace pla {

// Edits, date edits, memos and their data-aware kinds. The widget never edits by itself:
// keys go to the model (through the renderer) and the widget shows the model's text, caret
// and selection. A selection made with the mouse is handed to the model.
class EditBinding : public ControlBinding {
public:
    EditBinding(FormRenderer& renderer, TControl& control, QWidget* parent);

protected:
    void SyncText() override;
    void SyncSelection() override;
    void SyncAppearance() override;

private:
    TCustomEdit& Edit() const;
    void UserSelected();
    bool multiline_ = false;
};

} // namespace pla
