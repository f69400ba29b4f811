#pragma once

#include "framework/ui/TWinControl.h"

// A push button. Takes the focus when clicked; Space or Enter clicks it while focused. A
// non-zero ModalResult is given to the form on every click.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }

    void Click() override;
    // Focus first (a refused focus move stops the click), then Click().
    bool UserClick() override;

protected:
    void DefaultKeyPress(QChar& ch) override;

private:
    int modalResult_ = 0;
};
