#pragma once

#include "framework/qt/ControlBinding.h"

class TCustomEdit;

namespace pla {

// Edits, date edits, memos and their data-aware kinds. The widget never edits by itself:
// keys go to the model (through the renderer) and the widget shows the model's text, caret
// and selection. A selection made with the mouse is handed to the model, and a text written
// into the widget from outside (a screen reader or test robot through the accessibility
// interface) is typed into the model.
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
    void TextWritten(const QString& text);
    bool multiline_ = false;
};

} // namespace pla
