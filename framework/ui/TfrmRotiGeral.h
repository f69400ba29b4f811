#pragma once

#include "framework/ui/TBitBtn.h"
#include "framework/ui/TForm.h"

class TPanel;
class TGroupBox;
class TLabel;
class TMessages;
class TButtonFlat;

// Base of dialog screens: the group box holding the screen's controls, a button panel on
// the right (confirm and cancel buttons, a help button) with the screen code, and a message
// catalogue. Screens derive from it and override the click handlers.
class TfrmRotiGeral : public TForm {
public:
    explicit TfrmRotiGeral(TComponent* owner = nullptr);
    ~TfrmRotiGeral() override;

    TGroupBox* grbDadosRel; // the screen's controls live here (client area)
    TPanel* panMenu;        // button panel on the right
    TPanel* panBotoes;      // confirm and cancel
    TBitBtn* sbtConfirma;
    TBitBtn* sbtCancel;
    TPanel* panHelp; // help, at the bottom of the button panel
    TButtonFlat* sbtHelp;
    TLabel* lblCodTela;
    TMessages* msgPadrao;

    // Base: ends the modal run with mrOk.
    virtual void sbtConfirmaClick(TComponent& sender);
    // Base: closes the screen (mrCancel for a modal run).
    virtual void sbtCancelClick(TComponent& sender);
    virtual void sbtHelpClick(TComponent& sender);

protected:
    // Enter confirms and Esc cancels, as the confirm and cancel buttons do, when no control
    // took the key.
    bool DialogKey(int key, TShiftState shift) override;
};
