#pragma once

#include "branch_panel/BranchDatePanel.h"
#include "branch_panel/GroupChoice.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/net/NetConnection.h"
#include "framework/ui/Keys.h"
#include "framework/ui/TfrmRotiGeral.h"
#include "remote/DistEmbCardMethods.h"
#include "remote/DistributionDay.h"
#include "report/DistributionReport.h"
#include "report/LabelPrinterChoice.h"

#include <QRect>
#include <QStringList>
#include <memory>
#include <optional>

class TButton;
class TCheckBox;
class TColumn;
class TComboBox;
class TDBGrid;
class TGroupBox;
class TImage;
class TLabel;
class TPanel;

// Screen PLA15500 "Impressão da Distribuição": for a branch and a menu date, the user ticks
// services (all by default, with the group filter), picks a delivery point (all by default),
// what to print (labels, packing lists or both) and the label stock, then previews, prints or
// saves a PDF. The day's distribution is read once per branch and date and kept until one of
// them changes. A user tied to his branch cannot change it.
//
// Life: construct, DoCreate() (connection, groups), then Abre() at each opening (modal).
class TfrmImpDistEmbCard : public TfrmRotiGeral, public pla::BranchDatePanel {
public:
    explicit TfrmImpDistEmbCard(TComponent* owner = nullptr);
    ~TfrmImpDistEmbCard() override;

    TNetConnection netImpDistEmbCard{QStringLiteral("netImpDistEmbCard")};

    std::unique_ptr<TClientDataSet> cdsServicos;
    std::unique_ptr<TDataSource> dtsServicos;
    // Branch, date and the branch query: BranchDatePanel.

    TPanel *panDbgPadrao = nullptr, *panTServico = nullptr;
    TGroupBox* grbFiltroServico = nullptr;
    TLabel* lblFiltroGrupo = nullptr;
    TComboBox* cmbFiltroGrupo = nullptr;
    TDBGrid* dbgServicos = nullptr;

    TGroupBox* grbImpressao = nullptr;
    TLabel *lblPontoEntrega = nullptr, *lblConteudo = nullptr, *lblEtiqueta = nullptr;
    TComboBox *cmbPontoEntrega = nullptr, *cmbConteudo = nullptr, *cmbEtiqueta = nullptr;
    // "Preparado em": when the food was prepared, which the labels' validity counts from.
    TLabel* lblPreparo = nullptr;
    TDateEditPlus* dpePreparo = nullptr;
    TEdit* edtHoraPreparo = nullptr;
    TButton *btnVisualizar = nullptr, *btnImprimir = nullptr, *btnGerarPdf = nullptr;
    // "Impressora de etiquetas": this workstation's thermal label printer (a CUPS queue or
    // HOST:9100) and its resolution; the labels go to it in its own language, on the roll
    // chosen in "Etiqueta".
    TLabel* lblImpressoraEtiquetas = nullptr;
    TEdit* edtImpressoraEtiquetas = nullptr;
    TComboBox* cmbDpiEtiquetas = nullptr;
    TButton* btnImprimirEtiquetas = nullptr;
    // "Só as alteradas desde a última impressão": only the distributions changed since their
    // last labels print (and those never printed).
    TCheckBox* chbAlteradas = nullptr;

    TImage *imgChecked = nullptr, *imgUnchecked = nullptr;

    // Resets the screen to branch and date (the user's branch and today when not given; a
    // user tied to his branch always gets his own) and shows it modally. The day is loaded at
    // once; when that fails its message is shown and the screen opens all the same, so the
    // user can correct branch or date.
    int Abre(const QString& branch = QString(), const QDate& date = QDate());

    // ---- branch, date and the day --------------------------------------------------------
    // Validates branch (mandatory, registered) and date (mandatory); a failure focuses the
    // field at fault and ends the action with its message.
    void VdImpressao();
    // VdImpressao, then reads the day from the server when branch or date differ from the
    // day held, filling the service list (all ticked) and the delivery points (all), with the
    // day's last labels prints; labels printed before the last change are listed to the user.
    void CarregaDia();
    // The distributions of the day held whose labels were printed at an older version than
    // the one read, "service · point" each, in print order.
    QStringList EtiquetasDesatualizadas() const;
    void edtCdFilialChange(TComponent& sender);
    void btnFilialClick(TComponent& sender);
    void depCardapioDateChange(TComponent& sender);
    void panDbgPadraoEnter(TComponent& sender);

    // ---- services ------------------------------------------------------------------------
    void cmbFiltroGrupoChange(TComponent& sender);
    // all: ticks every visible service, or unticks them when all visible ones are ticked;
    // otherwise toggles the current service.
    void MarcaServico(bool all);
    void cdsServicosCalcFields(TClientDataSet& dataSet);
    void cdsServicosBeforeInsert(TClientDataSet& dataSet);
    void cdsServicosBeforeEdit(TClientDataSet& dataSet);
    void dbgServicosDrawColumnCell(TComponent& sender, const QRect& rect, int dataCol,
                                   TColumn& column, unsigned state);
    void dbgServicosCellClick(TColumn& column);
    void dbgServicosTitleClick(TColumn& column);
    void dbgServicosKeyDown(TComponent& sender, int& key, TShiftState shift);

    // ---- output --------------------------------------------------------------------------
    // The request the controls describe now (ticked services whatever the filter; an
    // unreadable preparation is left invalid).
    pla::ReportRequest Pedido() const;
    // The preparation date and time typed ("hh:mm", or "hhmm"); invalid when either is
    // missing or wrong.
    QDateTime Preparo() const;
    // Preparation must be a valid date and time: otherwise its field is focused and the
    // action ends with the message.
    void VdPreparo();
    // Loads the day when needed and builds the document; nothing to print ends the action
    // with its message, services left out are told before the output (once for the same
    // services of the same day, not before every output).
    pla::DistributionReport::Result MontaDocumento();
    // After a job that came out: the print record on the server, then the day's last labels
    // prints read again.
    void RegistraImpressao(const pla::PrintJob& printed);
    void btnVisualizarClick(TComponent& sender);
    void btnImprimirClick(TComponent& sender);
    void btnGerarPdfClick(TComponent& sender);
    // The labels the controls describe, to the label printer typed; on success the printer,
    // its resolution and the roll are remembered on this workstation. A failure is shown and
    // nothing is remembered.
    void btnImprimirEtiquetasClick(TComponent& sender);
    // The label printer, resolution and roll the controls describe.
    pla::LabelPrinterChoice EscolhaImpressoraEtiquetas() const;

    // The day held (nullopt before the first load or after branch or date changed).
    const std::optional<pla::DistributionDay>& Dia() const { return day_; }

protected:
    void FormCreate() override;
    void FormDestroy() override;
    void FormClose(TComponent& sender);

private:
    void BuildLayout();
    void BuildBranchControls();
    void BuildServiceList();
    void BuildOutputControls();
    void BuildDataSets();
    void BuildMessages();
    void BindEvents();

    void FillServices();
    void FillPoints();
    void ForgetDay();

    std::optional<pla::DistributionDay> day_;
    QHash<qint64, pla::LabelsPrint> prints_; // the day's last labels print per distribution
    QString toldWithout_; // the services-left-out notice the user has seen for this day
    pla::GroupChoice groups_;
    QStringList pointKeys_; // of cmbPontoEntrega's items; entry 0 (all) is empty
};
