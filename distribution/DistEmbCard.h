#pragma once

#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/data/ReadOnlyQuery.h"
#include "framework/net/NetConnection.h"
#include "framework/ui/Keys.h"
#include "framework/ui/TfrmPadraoGrid.h"
#include "server/DistEmbCardMethods.h"

#include <QDate>
#include <QStringList>
#include <cstdint>
#include <memory>

class TBtnPesquisa;
class TButtonFlat;
class TColumn;
class TComboBox;
class TDateEditPlus;
class TDBEdit;
class TDBGrid;
class TDBMemo;
class TDBText;
class TEdit;
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
class TfrmDistEmbCard : public TfrmPadraoGrid {
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
    std::unique_ptr<TADOIBQuery> qryFilial;
    std::unique_ptr<TDataSource> dtsFilial, dtsCardapioDisponivel, dtsDistCard, dtsEmbDistCard,
        dtsItEmbDistCard, dtsVdEmbalagens;

    // ---- branch and date panel ------------------------------------------------------------
    TPanel* panFilial = nullptr;
    TLabel *lblFilial = nullptr, *lblData = nullptr, *lblDiaDaSemanaCard = nullptr;
    TEdit *edtCdFilial = nullptr, *edtNmFilial = nullptr;
    TBtnPesquisa* btnFilial = nullptr;
    TDateEditPlus* depCardapio = nullptr;

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

    // ---- the screen's own commands ---------------------------------------------------------
    TButtonFlat *sbtGerar = nullptr, *sbtRedistribuir = nullptr, *sbtApagar = nullptr;
    TMenuItem *mnuGerar = nullptr, *mnuRedistribuir = nullptr, *mnuApagar = nullptr;

    // ---- hidden pictures -------------------------------------------------------------------
    TImage *imgFarolVerde = nullptr, *imgFarolCinza = nullptr, *imgFarolVermelho = nullptr,
           *imgChecked = nullptr, *imgUnchecked = nullptr;

    // ---- private lists, read-only views for tools and tests --------------------------------
    // Group code of each item of cmbFiltroGrupo (entry 0 empty: no filter).
    const QStringList& GroupCodes() const { return groupCodes_; }
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
    void sbtRedistribuirClick(TComponent& sender);
    void mnuRedistribuirClick(TComponent& sender);
    void sbtVerificarClick(TComponent& sender) override;
    void panCardapioEnter(TComponent& sender);

    // ---- modes and enabling ----------------------------------------------------------------
    // Recomputes the enabled state of every command from the mode, the data and the focus.
    void Habilita();
    // Enters change mode when a distribution is loaded.
    void AlteraDistribuicao();
    // Leaves change mode discarding the change: reloads the stored distribution.
    void CancelaAltDistribuicao();
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

    // ---- lifecycle and commands of the screen ----------------------------------------------
    void netDistEmbCardBeforeConnect(TNetConnection& sender);
    void sbtImprimirClick(TComponent& sender) override;
    void dtsPadraoStateChange(TDataSource& sender);

protected:
    // Creation sequence: connect, lists, service groups, the user's branch, branch lock,
    // today's date, empty distribution.
    void FormCreate() override;
    // Disconnects, then the base teardown.
    void FormDestroy() override;

private:
    // Construction, one concern each.
    void BuildLayout();
    void BuildBranchPanel();
    void BuildServiceSide();
    void BuildDistributionSide();
    void BuildCommands();
    void BuildPictures();
    void BuildDataSets();
    void BuildGridColumns();
    void BuildMessages();
    void BindEvents();

    // The delivery-point key of the selected combo item ("" for none).
    QString SelectedDeliveryPointKey() const;

    pla::DistEmbCardMethods server_{netDistEmbCard};
    QStringList groupCodes_;
    QStringList deliveryPointKeys_;
    std::int32_t newPackagingCounter_ = 0;
};
