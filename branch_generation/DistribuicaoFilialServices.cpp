// The service list: groups and their filter, loading the branch's transported services,
// ticking, the user actions of the grid and the drawing of the tick column.
#include "branch_generation/DistribuicaoFilial.h"
#include "branch_panel/GroupFilter.h"
#include "framework/data/Abort.h"
#include "framework/data/EventSuspend.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TImage.h"
#include "remote/DistEmbCardMethods.h"

namespace {

const QString kIdMarcado = QStringLiteral("IDMARCADO");
const QString kTicked = QStringLiteral("S");
const QString kUnticked = QStringLiteral("N");

bool IsTickColumn(const TColumn& column) {
    return column.FieldName().compare(kIdMarcado, Qt::CaseInsensitive) == 0;
}

// Suspends a data set's display for the lifetime of the scope, however it ends.
class DisplaySuspend {
public:
    explicit DisplaySuspend(TClientDataSet& ds) : ds_(ds) { ds_.DisableControls(); }
    ~DisplaySuspend() { ds_.EnableControls(); }
    DisplaySuspend(const DisplaySuspend&) = delete;
    DisplaySuspend& operator=(const DisplaySuspend&) = delete;

private:
    TClientDataSet& ds_;
};

} // namespace

void TfrmDistribuicaoFilial::GetGruposServicos() {
    pla::DistEmbCardMethods server(Net());
    pla::BusyScope busy(Zelvora::MainWindow());
    groups_.Fill(*cmbFiltroGrupo, server.GetGruposServico());
}

void TfrmDistribuicaoFilial::GetServicos(const QString& cdFilial) {
    pla::DistEmbCardMethods server(Net());
    pla::BusyScope busy(Zelvora::MainWindow());
    server.GetServicosTransportados(cdFilial, *cdsServicos);
    cmbFiltroGrupoChange(*cmbFiltroGrupo);
}

void TfrmDistribuicaoFilial::ApplyGroupFilter() {
    groups_.ApplyTo(*cdsServicos, cmbFiltroGrupo->ItemIndex());
}

void TfrmDistribuicaoFilial::cmbFiltroGrupoChange(TComponent&) {
    ApplyGroupFilter();
}

void TfrmDistribuicaoFilial::MarcaServico(bool all) {
    if (!cdsServicos->Active()) return;

    // The test runs on a copy, so the list's own row and filter stay where they are.
    auto anyVisibleWith = [this](const QString& tick) {
        TClientDataSet copy(QStringLiteral("cdsServicosMarcados"));
        copy.CopyFrom(*cdsServicos);
        copy.SetFilter(pla::GroupFilter::WithTick(
            cdsServicos->Filtered() ? cdsServicos->Filter() : QString(), tick));
        copy.SetFiltered(true);
        return !copy.IsEmpty();
    };
    const bool someTicked = anyVisibleWith(kTicked);
    const bool someUnticked = anyVisibleWith(kUnticked);
    const QString valueForAll = someTicked && !someUnticked ? kUnticked : kTicked;

    if (cdsServicos->IsEmpty()) return;

    EventSuspend<Event<TClientDataSet&>> insertGuard(cdsServicos->BeforeInsert);
    EventSuspend<Event<TClientDataSet&>> editGuard(cdsServicos->BeforeEdit);
    DisplaySuspend display(*cdsServicos);
    TField& tick = cdsServicos->FieldByName(kIdMarcado);
    try {
        if (all) {
            for (cdsServicos->First(); !cdsServicos->Eof(); cdsServicos->Next()) {
                cdsServicos->Edit();
                tick.SetAsString(valueForAll);
                cdsServicos->Post();
            }
            cdsServicos->First();
        } else {
            cdsServicos->Edit();
            tick.SetAsString(tick.AsString() == kTicked ? kUnticked : kTicked);
            cdsServicos->Post();
        }
    } catch (...) {
        // A row left half-changed would be posted by the next move, past the guards.
        if (cdsServicos->State() == TDataSetState::Edit ||
            cdsServicos->State() == TDataSetState::Insert)
            cdsServicos->Cancel();
        throw;
    }
}

void TfrmDistribuicaoFilial::cdsServicosCalcFields(TClientDataSet& ds) {
    ds.FieldByName(QStringLiteral("SERVICO"))
        .SetAsString(ds.FieldByName(QStringLiteral("CDSERVFILI")).AsString() +
                     QStringLiteral(" - ") +
                     ds.FieldByName(QStringLiteral("NMSERVICO")).AsString());
}

void TfrmDistribuicaoFilial::cdsServicosBeforeInsert(TClientDataSet&) {
    throw Abort();
}

void TfrmDistribuicaoFilial::cdsServicosBeforeEdit(TClientDataSet&) {
    throw Abort();
}

void TfrmDistribuicaoFilial::cdsServicosAfterScroll(TClientDataSet&) {
    dbgServicosColEnter(*dbgServicos);
}

void TfrmDistribuicaoFilial::dbgServicosColEnter(TComponent&) {
    const TColumn* column = dbgServicos->SelectedColumn();
    dbgServicos->SetOption(dgEditing, !(column && IsTickColumn(*column)));
}

void TfrmDistribuicaoFilial::dbgServicosDrawColumnCell(TComponent&, const QRect& rect, int,
                                                       TColumn& column, unsigned) {
    if (!cdsServicos->Active() || cdsServicos->IsEmpty() || !IsTickColumn(column)) return;
    const bool ticked = dbgServicos->DrawingValue(kIdMarcado).toString() == kTicked;
    dbgServicos->DrawCellPicture(rect, (ticked ? imgChecked : imgUnchecked)->Picture());
}

void TfrmDistribuicaoFilial::dbgServicosCellClick(TColumn& column) {
    if (IsTickColumn(column)) MarcaServico(false);
}

void TfrmDistribuicaoFilial::dbgServicosTitleClick(TColumn& column) {
    if (IsTickColumn(column)) MarcaServico(true);
}

void TfrmDistribuicaoFilial::dbgServicosKeyDown(TComponent&, int& key, TShiftState shift) {
    if (key == VK_SPACE) {
        MarcaServico(false);
        key = 0; // used up: the character would only meet the edit guard
    } else if (key == VK_DELETE && (shift & ssCtrl)) {
        key = 0; // rows are never deleted from this list
    }
}

void TfrmDistribuicaoFilial::panDbgPadraoEnter(TComponent&) {
    VdDistribuicaoFilial();
}
