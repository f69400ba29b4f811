#pragma once

#include "branch_panel/BranchDatePanel.h"
#include "branch_panel/GroupChoice.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/net/NetConnection.h"
#include "framework/ui/Keys.h"
#include "framework/ui/TfrmPadraoGrid.h"
#include "remote/DistEmbCardMethods.h"

#include <QDate>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

class TButtonFlat;
class TColumn;
class TComboBox;
class TDBEdit;
class TDBGrid;
class TDBMemo;
class TDBText;
class TGroupBox;
class TImage;
class TLabel;
class TMenuItem;
class TPanel;
class TSpeedButton;

// Screen PLA15400 "Distribuição do Cardápio": for a branch, a menu date, one transported
// service and one delivery point, shows and edits how the menu's dishes are distributed into
// packagings. Built headless; the front end draws it.
//
// Life: construct (builds every component, dataset and event binding), DoCreate() (runs
// FormCreate, which may end at a failing step with its message shown), Show(); destroyed with
// TForm::Free, which runs FormDestroy first.
class TfrmDistEmbCard : public TfrmPadraoGrid, public pla::BranchDatePanel {
public:
    explicit TfrmDistEmbCard(TComponent* owner = nullptr);
    ~TfrmDistEmbCard() override;

    // ---- server connection ----------------------------------------------------------------
    // Carries every remote call of the screen (and of the branch generation dialog).
    TNetConnection netDistEmbCard{QStringLiteral("netDistEmbCard")};
    // The remote methods over netDistEmbCard.
    pla::DistEmbCardMethods& Server() { return server_; }

    // ---- datasets and their sources -------------------------------------------------------
    std::unique_ptr<TClientDataSet> cdsServicos, cdsCardapioDisponivel, cdsDistCard, cdsEmbDistCard,
        cdsItEmbDistCard, cdsVdEmbalagens;
    std::unique_ptr<TDataSource> dtsCardapioDisponivel, dtsDistCard, dtsEmbDistCard,
        dtsItEmbDistCard, dtsVdEmbalagens;

    // ---- branch and date panel (its controls and branch query: BranchDatePanel) -----------
    TPanel* panFilial = nullptr;

    // ---- service list side (inside the base list panel panDbgPadrao) -----------------------
    TPanel* panTServico = nullptr;
    TGroupBox *grbFiltroServico = nullptr, *grbPontoEntrega = nullptr;
    TLabel* lblFiltroGrupo = nullptr;
    TComboBox *cmbFiltroGrupo = nullptr, *cmbPontosEntrega = nullptr;

    // ---- distribution side ----------------------------------------------------------------
    TPanel *panDistribuicao = nullptr, *panTDistribuicao = nullptr;
    TPanel *panCardapio = nullptr, *panTCardapio = nullptr, *panAddDelPrat = nullptr;
    TDBGrid* dbgCardapio = nullptr;
    TGroupBox* grbInfoPrat = nullptr;
    TLabel* lblQtPorPessoa = nullptr;
    TDBEdit* dbeQtPorPessoa = nullptr;
    TDBText* dblUnidade = nullptr;
    TSpeedButton *btnAddPrat = nullptr, *btnAddTPrat = nullptr, *btnDelPrat = nullptr,
                 *btnDelTPrat = nullptr;
    TPanel *panEmbalagens = nullptr, *panTEmbalagens = nullptr, *panEmbDistr = nullptr,
           *panTPratosEmb = nullptr;
    TDBGrid *dbgEmbalagens = nullptr, *dbgPratosEmb = nullptr;
    TGroupBox* grbObsEtiqueta = nullptr;
    TDBMemo* dbmObservacaoEtiqueta = nullptr;
    // "Etiquetas impressas antes da última alteração": shown while the loaded distribution's
    // labels were last printed at an older version than the one loaded.
    TPanel* panAvisoEtiquetas = nullptr;

    // ---- the screen's own commands ---------------------------------------------------------
    TButtonFlat *sbtGerar = nullptr, *sbtRedistribuir = nullptr, *sbtApagar = nullptr;
    TMenuItem *mnuGerar = nullptr, *mnuRedistribuir = nullptr, *mnuApagar = nullptr;
    TMenuItem* mnuReimprimir = nullptr; // "Reimprimir etiquetas da embalagem"
    // "Copiar de outra data…" (Ctrl+D): enabled exactly while sbtRedistribuir is.
    TMenuItem* mnuCopiar = nullptr;

    // ---- hidden pictures -------------------------------------------------------------------
    TImage *imgFarolVerde = nullptr, *imgFarolCinza = nullptr, *imgFarolVermelho = nullptr,
           *imgChecked = nullptr, *imgUnchecked = nullptr;

    // ---- private lists, read-only views for tools and tests --------------------------------
    // Group code of each item of cmbFiltroGrupo (entry 0 empty: no filter).
    const QStringList& GroupCodes() const { return groups_.Codes(); }
    // Key "CDDESTFILI_CDCLIENTE" of each item of cmbPontosEntrega (entry 0 empty).
    const QStringList& DeliveryPointKeys() const { return deliveryPointKeys_; }
    // Number of packagings loaded with the distribution; new packagings count down from it.
    std::int32_t NewPackagingCounter() const { return newPackagingCounter_; }

    // ---- branch and date ------------------------------------------------------------------
    // Validates the branch code and shows its name. With mandatory false an empty code is
    // accepted silently. Failures put the focus on the code and end the action (MensErro).
    void VdFilial(bool mandatory);
    void edtCdFilialEnter(TComponent& sender);
    void edtCdFilialChange(TComponent& sender);
    void edtCdFilialExit(TComponent& sender);
    void btnFilialClick(TComponent& sender);
    void depCardapioChange(TComponent& sender);
    void depCardapioDateChange(TComponent& sender);
    void depCardapioExit(TComponent& sender);
    void panFilialExit(TComponent& sender);

    // ---- services, group filter and delivery points ----------------------------------------
    // Fills the group filter from the server; item 0 (no filter) selected.
    void GetGruposServicos();
    // Reloads the service list for branch and date; keep returns to the same service and
    // delivery point when they still exist. Ends with the delivery points and distribution of
    // the service then current.
    void GetServicos(const QString& branch, const QDate& date, bool keep);
    // Fills the delivery points of one service, the first one selected.
    void GetPontosEntrega(const QString& branch, const QString& service);
    void cmbFiltroGrupoChange(TComponent& sender);
    void cmbPontosEntregaChange(TComponent& sender);
    void cdsServicosCalcFields(TClientDataSet& dataSet);
    void cdsServicosAfterScroll(TClientDataSet& dataSet);
    void cdsServicosBeforeInsert(TClientDataSet& dataSet);
    void cdsServicosBeforeEdit(TClientDataSet& dataSet);
    void dbgPadraoColEnter(TComponent& sender);
    void dbgPadraoDrawColumnCell(TComponent& sender, const QRect& rect, int dataCol,
                                 TColumn& column, unsigned state);
    void dbgPadraoKeyDown(TComponent& sender, int& key, TShiftState shift);

    // ---- loading a distribution ------------------------------------------------------------
    // Loads the distribution of the current service at the selected delivery point; flag
    // "S" has the server redo it first. keep returns to the packaging that was current.
    void GetDistribuicao(const QString& redistribute, bool keep);
    // Empties the four distribution sets (creating them when closed).
    void LimpaDistribuicao();
    // Refuses when no service is current.
    void VdDadosCardapio();
    void AplicaFiltroCardDisp();
    void AplicaFiltroItEmb();
    // The dish-row filter of the current packaging: "NREMBDISTCARD = " and its number in plain
    // digits ("NREMBDISTCARD = 0" without a packaging).
    QString DishRowFilterText() const;
    // Ends the action with a message, before anything changes, unless the dish rows are
    // filtered to the current packaging: a move or removal must never reach another
    // packaging's dishes.
    void RequireDishRowsOfCurrentPackaging();
    void sbtRedistribuirClick(TComponent& sender);
    void mnuRedistribuirClick(TComponent& sender);
    // Asks for a date in the copy dialog and copies that date's distribution (CopiaDistribuicao).
    void mnuCopiarClick(TComponent& sender);
    // Rebuilds the loaded distribution from the one stored on date for the same service and
    // delivery point (pla::DistributionCopy) and leaves it in change mode, unsaved. With
    // nothing stored there, no dish in common, or no dish that can be packed as it was, the
    // clerk is told why and nothing changes; dishes left out are listed after the copy.
    void CopiaDistribuicao(const QDate& date);
    void sbtVerificarClick(TComponent& sender) override;
    void panCardapioEnter(TComponent& sender);

    // ---- modes and enabling ----------------------------------------------------------------
    // Recomputes the enabled state of every command from the mode, the data and the focus.
    void Habilita();
    // Enters change mode when a distribution is loaded.
    void AlteraDistribuicao();
    // Leaves change mode discarding the change: reloads the stored distribution. When the
    // reload fails nothing is cancelled: the change stays pending with every edit, the user is
    // told so after the server's message, and the action ends.
    void CancelaAltDistribuicao();
    // Every way out of a pending change (another service, the reload, redistribution,
    // deletion, branch generation, closing the window) calls this first. With no change
    // pending it does nothing; otherwise it asks "Cancela alteração na distribuição?": No ends
    // the action silently with everything kept, Yes discards the change (as the cancel action
    // does) and lets the action go on.
    void ConfirmLeavingChange();
    // Closing the window goes through ConfirmLeavingChange.
    bool CloseQuery() override;
    void cdsServicosBeforeScroll(TClientDataSet& dataSet);
    void dtsDistCardStateChange(TDataSource& sender);
    void cdsDistCardAfterCancel(TClientDataSet& dataSet);
    void dtsEmbDistCardStateChange(TDataSource& sender);
    void cdsEmbDistCardAfterCancel(TClientDataSet& dataSet);
    void cdsEmbDistCardAfterInsert(TClientDataSet& dataSet);
    void cdsEmbDistCardAfterEdit(TClientDataSet& dataSet);
    void panDbgPadraoEnter(TComponent& sender);
    void panEmbDistrEnter(TComponent& sender);
    void dbgPratosEmbEnter(TComponent& sender);
    void dbgCardapioEnter(TComponent& sender);
    void dbgEmbalagensEnter(TComponent& sender);
    void dbeQtPorPessoaEnter(TComponent& sender);
    void dbmObservacaoEtiquetaEnter(TComponent& sender);
    void sbtIncluirClick(TComponent& sender) override;
    void sbtAlterarClick(TComponent& sender) override;
    void sbtExcluirClick(TComponent& sender) override;
    void sbtProcurarClick(TComponent& sender) override;
    void sbtCancelarClick(TComponent& sender) override;

    // ---- editing guards --------------------------------------------------------------------
    void cdsCardapioDisponivelBeforeInsert(TClientDataSet& dataSet);
    void cdsItEmbDistCardBeforeInsert(TClientDataSet& dataSet);
    void cdsItEmbDistCardBeforeEdit(TClientDataSet& dataSet);

    // --- packaging editing ---
    // Packaging records.
    // Replaces cdsVdEmbalagens with the containers matching code ("T": every container);
    // a refusal by the server is shown and ends the action, the set keeping its content.
    void GetVdEmbalagens(const QString& code);
    // Checks the container of a packaging being inserted (in any other state: nothing). An
    // empty code is refused only when mandatory; a code is normalised to width 5, and an
    // unknown one refused; a known one fills name, purpose and the default unit count (the
    // delivery point's diners for an individual container, 0 for a collective one). A refusal
    // puts the focus on the code column and ends the action with its message.
    void VdEmbalagens(bool mandatory);
    // Container lookup from the code column's "..." button: starts a packaging on an empty
    // list, lists every container and copies the one picked as the check does.
    void dbgEmbalagensEditButtonClick(TComponent& sender);
    // Shows the purpose letter as its word ("Individual", "Coletiva").
    void cdsEmbDistCardIDPROPOSITOGetText(TField& sender, QString& text, bool displayText);
    // QTMEDIA: dish quantity per unit, rounded to 5 decimals; 0 without units.
    void cdsEmbDistCardCalcFields(TClientDataSet& dataSet);
    // Editing guard: no packaging is inserted or changed without a loaded distribution and a
    // chosen delivery point (silent abort).
    void cdsEmbDistCardBeforeInsert(TClientDataSet& dataSet);
    void cdsEmbDistCardBeforeEdit(TClientDataSet& dataSet);
    // Numbers a new packaging with the next negative number of the counter.
    void cdsEmbDistCardNewRecord(TClientDataSet& dataSet);
    // A packaging being inserted is posted only with a valid container.
    void cdsEmbDistCardBeforePost(TClientDataSet& dataSet);
    // Returns every dish of the packaging to the undistributed list before it goes.
    void cdsEmbDistCardBeforeDelete(TClientDataSet& dataSet);
    void cdsEmbDistCardAfterDelete(TClientDataSet& dataSet);
    // The dish rows follow the current packaging; the lookup button and commands refresh.
    void cdsEmbDistCardAfterScroll(TClientDataSet& dataSet);
    // A container code assigned while typing clears the data copied from the old container.
    void cdsEmbDistCardCDCONTAINERChange(TField& sender);
    void dbgEmbalagensColEnter(TComponent& sender);
    // Leaving the code column checks the container (an empty code is let pass).
    void dbgEmbalagensColExit(TComponent& sender);
    // Key rules: the code only while inserting, units as up to 5 digits, other columns
    // read-only; Ctrl+Delete never deletes.
    void dbgEmbalagensKeyDown(TComponent& sender, int& key, TShiftState shift);
    void dbgEmbalagensKeyPress(TComponent& sender, QChar& key);
    // Leaving the packaging panel posts the packaging being typed.
    void panEmbDistrExit(TComponent& sender);
    // Shows the code column's "..." button exactly while a packaging is being inserted or the
    // list is empty.
    void UpdateLookupButton();

    // Undistributed dishes.
    // Editing guard: refused (silent abort) while delivery points exist and none is chosen.
    void cdsCardapioDisponivelBeforeEdit(TClientDataSet& dataSet);
    void cdsCardapioDisponivelAfterEdit(TClientDataSet& dataSet);
    // Recomputes QTTOTPRATO and QTPRATO from the diners and the quantity per person.
    void cdsCardapioDisponivelBeforePost(TClientDataSet& dataSet);
    // The quantity per person is editable only while no part of the current dish is packed.
    void cdsCardapioDisponivelAfterScroll(TClientDataSet& dataSet);
    // The list is read-only: no deleting key, no character but Tab and Enter.
    void dbgCardapioKeyDown(TComponent& sender, int& key, TShiftState shift);
    void dbgCardapioKeyPress(TComponent& sender, QChar& key);
    // Digits, Backspace, Tab, Enter and one decimal comma.
    void dbeQtPorPessoaKeyPress(TComponent& sender, QChar& key);
    // Leaving the group box posts the quantity per person being typed.
    void grbInfoPratExit(TComponent& sender);

    // Dishes in the current packaging.
    void cdsItEmbDistCardAfterInsert(TClientDataSet& dataSet);
    void cdsItEmbDistCardAfterEdit(TClientDataSet& dataSet);
    // The first dish row of a packaging is its principal dish.
    void cdsItEmbDistCardNewRecord(TClientDataSet& dataSet);
    // Keeps at most one principal dish in the packaging, staying on the posted row.
    void cdsItEmbDistCardAfterPost(TClientDataSet& dataSet);
    void cdsItEmbDistCardAfterScroll(TClientDataSet& dataSet);
    // The "Principal" column opens no cell editor; the others may.
    void dbgPratosEmbColEnter(TComponent& sender);
    // A click in the "Principal" column marks the dish.
    void dbgPratosEmbCellClick(TColumn& column);
    // Draws the principal flag as a centred tick box.
    void dbgPratosEmbDrawColumnCell(TComponent& sender, const QRect& rect, int dataCol,
                                    TColumn& column, unsigned state);
    // Space marks the current dish; Backspace and Delete (with or without Ctrl) do nothing.
    void dbgPratosEmbKeyDown(TComponent& sender, int& key, TShiftState shift);
    // Makes the current dish row the principal one (a principal row stays as it is).
    void MarcaItemEmb();
    // How much of a dish one unit of a container holds (0: no transport relation). A
    // refusal is shown and ends the action.
    double CapacidadeEmb(const QString& recipeBranch, const QString& dish,
                         const QString& container);

    // Moving dishes between the undistributed list and the current packaging. Each restores
    // every handler, filter and display it suspended, however it ends, and leaves the screen
    // in change mode.
    // One dish, in the amounts chosen in the dish dialog.
    void btnAddPratClick(TComponent& sender);
    // Everything still undistributed, without asking (one dish only into a collective one).
    void btnAddTPratClick(TComponent& sender);
    // Part of the current dish row back, in the amounts chosen in the dish dialog.
    void btnDelPratClick(TComponent& sender);
    // Every dish row of the packaging back, whole.
    void btnDelTPratClick(TComponent& sender);
    // --- end packaging editing ---

    // ---- lifecycle and commands of the screen ----------------------------------------------
    void netDistEmbCardBeforeConnect(TNetConnection& sender);
    void sbtImprimirClick(TComponent& sender) override;
    // The user guide at this screen's section.
    void sbtAjudaClick(TComponent& sender) override;
    // The distribution header is in edit state: the screen's change mode.
    bool PendingChange() const override;
    void dtsPadraoStateChange(TDataSource& sender);

    // --- saving ---
    // Confirm action. A packaging row being typed is only posted (its container check runs)
    // and nothing is saved by this use; otherwise ConfirmaAltDistribuicao.
    void sbtConfirmarClick(TComponent& sender) override;
    // Validates the distribution, stores it on the server in one call with every record of
    // the undistributed dishes, the packagings and the dish rows, ends change mode and
    // reloads it as the server now holds it. A fault found by the validation, a refusal by
    // the server or a server out of reach is shown and ends the action: nothing is reloaded,
    // the screen stays in change mode and every local edit stays as it was. A refusal because
    // another clerk stored a newer version goes on to ResolveConflict.
    void ConfirmaAltDistribuicao();
    // After a save refused for a newer version: shows what the other clerk stored and lets
    // the clerk keep editing (nothing changes), reload the stored one (his edits discarded,
    // after a question) or save his own over it (after a question naming the other clerk;
    // sent with the newer version, so the audit trail records it). Returns only when his
    // version was stored; otherwise ends the action (Abort), after reloading the service
    // list (its light) with the distribution when the clerk chose to reload.
    void ResolveConflict(const pla::StoredChanges& newer);
    // Posts the undistributed dish and the packaging being typed, then checks every
    // packaging in order: it must hold dish rows and more than zero units. The first one at
    // fault stays current, the focus goes to the packaging grid (to its units cell for the
    // units) and its message ends the action. However it ends, the packagings and dish rows
    // are redrawn and the enabling pass runs.
    void VdDistribuicao();
    // Asks "Confirma a exclusão da distribuição?"; on Yes deletes the loaded distribution on
    // the server and reloads the service list keeping service and delivery point. Any other
    // answer sends nothing.
    void sbtApagarClick(TComponent& sender);
    // Same as a click on sbtApagar.
    void mnuApagarClick(TComponent& sender);
    // Validates branch and date, opens the branch generation screen for them (returns when it
    // is closed) and reloads the service list keeping service and delivery point, so the
    // status lights show what was generated. A branch that fails ends the action with its
    // message and nothing opens.
    void sbtGerarClick(TComponent& sender);
    // Same as a click on sbtGerar.
    void mnuGerarClick(TComponent& sender);
    // --- end saving ---

    // The version the distribution was loaded at, sent back with a save or a delete; none
    // when the header came without one.
    std::optional<qint64> LoadedVersion() const;

    // --- labels of the loaded distribution ---
    // Reads the day's last labels prints and shows panAvisoEtiquetas when the loaded
    // distribution's labels were printed at an older version than the one loaded. Quiet when
    // the server cannot say.
    void VerificaEtiquetas();
    // Reprints the current packaging's labels as the server stores it: all units or the units
    // typed, on the stock and with the preparation chosen (the one of the last labels print
    // proposed). A packaging not yet stored is refused with its reason; with a change pending
    // the user confirms first, since the labels will not show it. A job that came out is
    // recorded as a reprint.
    void mnuReimprimirClick(TComponent& sender);
    // --- end labels ---

protected:
    // Creation sequence: connect, lists, service groups, the user's branch, branch lock,
    // today's date, empty distribution.
    void FormCreate() override;
    // Disconnects, then the base teardown.
    void FormDestroy() override;

private:
    // The enabling pass of Habilita. afterEmptying: the distribution was just emptied (also
    // at creation), so a focus the table does not name, or none, takes the branch code's
    // column instead of leaving the commands as they were.
    void EnablingPass(bool afterEmptying);

    // Construction, one concern each.
    void BuildLayout();
    void BuildBranchPanel();
    void BuildServiceSide();
    void BuildDistributionSide();
    void BuildCommands();
    void BuildKeyboard();
    void BuildPictures();
    void BuildDataSets();
    void BuildGridColumns();
    void BuildMessages();
    void BindEvents();

    // The delivery-point key of the selected combo item ("" for none).
    QString SelectedDeliveryPointKey() const;
    // The client and destination codes of the selected delivery point (empty for none).
    std::pair<QString, QString> SelectedDeliveryPoint() const;

    pla::DistEmbCardMethods server_{netDistEmbCard};
    pla::GroupChoice groups_;
    QStringList deliveryPointKeys_;
    std::int32_t newPackagingCounter_ = 0;
    // The loaded distribution's last labels print, when the server recorded one.
    std::optional<pla::LabelsPrint> labelsPrint_;
    // A pass locked the ways out of a change; the pass that sees it end gives them back.
    bool changeLocked_ = false;
};
