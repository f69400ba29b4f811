#pragma once

#include "framework/ui/TForm.h"

#include <memory>
#include <vector>

class TPanel;
class TScrollBox;
class TDBGrid;
class TDBText;
class TDBNavigator;
class TLabel;
class TMessages;
class TMainMenu;
class TMenuItem;
class TButtonFlat;
class TSpeedButton;
class TDataSource;

// Base of list screens: a tool panel with record-action buttons (each mirrored by an item of
// the maintenance menu), a list panel with the standard grid over dtsPadrao, a data sheet,
// a navigation bar, the screen code label and two message catalogues. Screens derive from
// it, create their own components in code and override the click handlers.
class TfrmPadraoGrid : public TForm {
public:
    explicit TfrmPadraoGrid(TComponent* owner = nullptr);
    ~TfrmPadraoGrid() override;

    TMainMenu* mnuMenu;
    TMenuItem* mnuManutencao;
    TMenuItem *mnuIncluir, *mnuAlterar, *mnuExcluir, *mnuProcurar, *mnuVerificar, *mnuConfirmar,
        *mnuCancelar, *mnuImprimir, *mnuAjuda, *mnuFechar;

    TPanel* panMenu; // tool panel across the top
    TButtonFlat *sbtIncluir, *sbtAlterar, *sbtExcluir, *sbtProcurar, *sbtVerificar, *sbtConfirmar,
        *sbtCancelar, *sbtImprimir, *sbtAjuda, *sbtFechar;
    TLabel* lblCodTela; // screen code, right end of the tool panel

    TPanel* panNavigator; // navigation bar along the bottom
    TDBText* dbtNome;
    TDBNavigator* dbnPadrao;

    TPanel* panDbgPadrao;      // list panel on the left
    TDBGrid* dbgPadrao;        // the standard grid, over dtsPadrao
    TScrollBox* scbFolhaDados; // the data sheet: the rest of the page

    TMessages* msgPadrao;           // the screen's own catalogue
    TMessages* msgMensagensPadroes; // the framework's standard texts

    // The main data source; the screen binds its data set to it.
    TDataSource* dtsPadrao() const { return dtsPadrao_.get(); }

    // Adds a tool button to the panel before `before` (or at the end when nullptr) and
    // lays the buttons out again from the left.
    void InsertToolButton(TSpeedButton* button, TSpeedButton* before);
    // Keeps item's enabled state equal to button's from now on, and makes a click on the
    // item do what a click on the button does.
    void MirrorMenuItem(TMenuItem* item, TSpeedButton* button);
    // Appends an item to the maintenance menu.
    TMenuItem* AddMaintenanceItem(const QString& name, const QString& caption);

    // Record-action handlers; the base implementations act on dtsPadrao's data set.
    virtual void sbtIncluirClick(TComponent& sender);
    virtual void sbtAlterarClick(TComponent& sender);
    virtual void sbtExcluirClick(TComponent& sender);
    virtual void sbtProcurarClick(TComponent& sender);
    virtual void sbtVerificarClick(TComponent& sender);
    virtual void sbtConfirmarClick(TComponent& sender);
    virtual void sbtCancelarClick(TComponent& sender);
    virtual void sbtImprimirClick(TComponent& sender);
    virtual void sbtAjudaClick(TComponent& sender);
    virtual void sbtFecharClick(TComponent& sender);

protected:
    // The base teardown: a screen's own FormDestroy calls it last.
    void FormDestroy() override;

private:
    void LayoutToolButtons();
    std::unique_ptr<TDataSource> dtsPadrao_;
    std::vector<TSpeedButton*> toolButtons_;
};
