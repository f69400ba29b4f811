#pragma once

class TForm;

namespace pla {

// Where forms are shown. The Qt front end shows real windows; the scenario runner drives
// modal forms from its script. TForm::Show/ShowModal/Close go through the installed host.
class FormHost {
public:
    virtual ~FormHost();
    // The form became visible (or was shown again: bring it to the front).
    virtual void Show(TForm& form) = 0;
    // Runs the modal form until its ModalResult() is set (or the host decides to end it);
    // returns the result to use when the form set none.
    virtual int RunModal(TForm& form) = 0;
    // The form was hidden (closed without being destroyed).
    virtual void Close(TForm& form) = 0;
};

// Works with no display: shows and hides nothing; a modal run returns at once with the
// result the form has set (mrCancel when none).
class HeadlessFormHost : public FormHost {
public:
    void Show(TForm& form) override;
    int RunModal(TForm& form) override;
    void Close(TForm& form) override;
};

// The installed host; a HeadlessFormHost until one is set.
FormHost& CurrentFormHost();
// Installs a host (not owned); nullptr goes back to the headless default.
void SetFormHost(FormHost* host);

} // namespace pla
