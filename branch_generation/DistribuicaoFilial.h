#pragma once

#include "branch_panel/BranchDatePanel.h"
#include "branch_panel/GroupChoice.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/ui/Keys.h"
#include "framework/ui/TfrmRotiGeral.h"

#include <QDate>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

class TCheckBox;
class TColumn;
class TComboBox;
class TDBGrid;
class TGroupBox;
class TImage;
class TLabel;
class TNetConnection;
class TPanel;

// Screen PLA15420 "Distribuição da Filial": for a branch and a menu date, lists the services
// the application server transports for the branch, lets the user tick any of them (filtered
// by service group) and has the server generate the distributions of every ticked service in
// one call. The screen has no connection of its own: it borrows the one of the distribution
// screen for the length of each opening (SetConnection).
//
// Life: construct (builds every component, dataset and event binding), DoCreate() (runs
// FormCreate), then Abre() at each opening; closing only hides it.
class TfrmDistribuicaoFilial : public TfrmRotiGeral, public pla::BranchDatePanel {
public:
    explicit TfrmDistribuicaoFilial(TComponent* owner = nullptr);
    ~TfrmDistribuicaoFilial() override;

    // ---- server connection ----------------------------------------------------------------
    // The connection every remote call of the screen goes through (not owned). Without one a
    // remote call is refused with a message that ends the action.
    void SetConnection(TNetConnection* net) { net_ = net; }
    TNetConnection* Connection() const { return net_; }

    // ---- dataset (the branch query is BranchDatePanel's) -----------------------------------
    std::unique_ptr<TClientDataSet> cdsServicos;
    std::unique_ptr<TDataSource> dtsServicos;

    // ---- branch and date (BranchDatePanel, inside the base group box grbDadosRel) ----------
    TCheckBox* chbSubstitui = nullptr;

    // ---- service list ---------------------------------------------------------------------
    TPanel *panDbgPadrao = nullptr, *panTServico = nullptr;
    TGroupBox* grbFiltroServico = nullptr;
    TLabel* lblFiltroGrupo = nullptr;
    TComboBox* cmbFiltroGrupo = nullptr;
    TDBGrid* dbgServicos = nullptr;

    // ---- hidden tick-box pictures (in the button panel) ------------------------------------
    TImage *imgChecked = nullptr, *imgUnchecked = nullptr;

    // Group code of each item of cmbFiltroGrupo; entry 0 is empty and stands for all groups.
    const QStringList& GroupCodes() const { return groups_.Codes(); }

    // ---- opening --------------------------------------------------------------------------
    // Resets the screen for branch and date and shows it modally; returns the modal result.
    // Branch code and date are written into their fields, the replace box is unticked, the
    // branch validated (a refusal shows its message and ends the caller's action without
    // showing the screen), the branch lock of the login context applied, the week day
    // labelled, and groups and services reloaded from the server (a refused call ends the
    // action the same way).
    int Abre(const QString& cdFilial, const QDate& dtCardapio);

    // ---- branch and date ------------------------------------------------------------------
    // Validates the branch code (mandatory) against the branch table, writing the normalised
    // code back and showing the branch name. A failure puts the focus on the code field and
    // ends the action with its message.
    void VdFilial();
    // VdFilial, then the date: a text that is not a date or an empty date ends the action
    // with the focus on the date field. Loads nothing.
    void VdDistribuicaoFilial();
    void edtCdFilialChange(TComponent& sender);
    void edtCdFilialExit(TComponent& sender);
    void btnFilialClick(TComponent& sender);
    void depCardapioDateChange(TComponent& sender);

    // ---- service groups, services and ticks ------------------------------------------------
    // Fills the group filter from the server, item 0 (all groups) selected, without filtering.
    void GetGruposServicos();
    // Replaces the service list (and its ticks) with the branch's transported services, then
    // applies the group chosen in the combo. A refused call leaves the list as it was.
    void GetServicos(const QString& cdFilial);
    // Shows only the services of the group chosen in the combo (any group code, matched
    // exactly); the empty entry shows them all. Ticks of hidden rows are kept.
    void cmbFiltroGrupoChange(TComponent& sender);
    // all true: ticks every visible service, or unticks them all when every visible service
    // that has a tick state is ticked. all false: toggles the current service. Nothing happens
    // without visible services. The list's edit guards and display are suspended meanwhile
    // and restored however the routine ends.
    void MarcaServico(bool all);
    void cdsServicosCalcFields(TClientDataSet& dataSet);
    // Editing guards: refuse every insert and edit silently (Abort).
    void cdsServicosBeforeInsert(TClientDataSet& dataSet);
    void cdsServicosBeforeEdit(TClientDataSet& dataSet);
    void cdsServicosAfterScroll(TClientDataSet& dataSet);
    // The column editing rule: in-place editing off in the tick column, on elsewhere.
    void dbgServicosColEnter(TComponent& sender);
    // Draws the tick column from imgChecked / imgUnchecked.
    void dbgServicosDrawColumnCell(TComponent& sender, const QRect& rect, int dataCol,
                                   TColumn& column, unsigned state);
    void dbgServicosCellClick(TColumn& column);
    void dbgServicosTitleClick(TColumn& column);
    // Space (any modifiers) toggles the current service; Ctrl+Delete is swallowed.
    void dbgServicosKeyDown(TComponent& sender, int& key, TShiftState shift);
    void panDbgPadraoEnter(TComponent& sender);

    // ---- generation -----------------------------------------------------------------------
    // Validates branch and date, requires a ticked service in any group, has the server
    // generate, tells the user and ends the modal run with mrOk. The group filter shown
    // before the click is in force again on every way out.
    void sbtConfirmaClick(TComponent& sender) override;
    // Sends the menu date, every service with its tick (whatever the filter) and the replace
    // flag ("S"/"N") to the server.
    void GeraDistribuicaoFilial();
    // The user guide at this screen's section.
    void sbtHelpClick(TComponent& sender) override;

protected:
    // Creates the group code list.
    void FormCreate() override;
    // The screen is only hidden; instance and data stay for the next opening.
    void FormClose(TComponent& sender);

private:
    void BuildLayout();
    void BuildBranchControls();
    void BuildServiceList();
    void BuildPictures();
    void BuildDataSets();
    void BuildMessages();
    void BindEvents();

    // The connection, or a message ending the action when there is none.
    TNetConnection& Net() const;
    // Applies the combo's group to cdsServicos (filter off for the empty entry).
    void ApplyGroupFilter();

    TNetConnection* net_ = nullptr;
    pla::GroupChoice groups_;
};
