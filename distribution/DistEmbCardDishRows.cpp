// The dishes of the current packaging: one principal dish per packaging, the tick boxes that
// show it, and the capacity of a container for a dish.
#include "distribution/DistEmbCard.h"
#include "framework/data/EventSuspend.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TImage.h"

#include <exception>
#include <optional>

namespace {

const QString kPrincipal = QStringLiteral("IDPRINCIPAL");
const QString kDish = QStringLiteral("NRSEQPRATCAR");
const QString kYes = QStringLiteral("S");
const QString kNo = QStringLiteral("N");

bool PrincipalSelected(const TDBGrid& grid) {
    const TColumn* c = grid.SelectedColumn();
    return c && c->FieldName().compare(kPrincipal, Qt::CaseInsensitive) == 0;
}

} // namespace

void TfrmDistEmbCard::cdsItEmbDistCardAfterInsert(TClientDataSet&) {
    AlteraDistribuicao();
}

void TfrmDistEmbCard::cdsItEmbDistCardAfterEdit(TClientDataSet&) {
    AlteraDistribuicao();
}

void TfrmDistEmbCard::cdsItEmbDistCardNewRecord(TClientDataSet& dataSet) {
    // The count leaves out the row being inserted.
    dataSet.FieldByName(kPrincipal).SetAsString(dataSet.RecordCount() >= 1 ? kNo : kYes);
}

void TfrmDistEmbCard::cdsItEmbDistCardAfterPost(TClientDataSet& dataSet) {
    if (dataSet.FieldByName(kPrincipal).AsString() != kYes) return;
    const QVariant posted = dataSet.FieldByName(kDish).Value();

    dataSet.DisableControls();
    // The rows turned back to "N" are neither refused nor followed by this rule again.
    std::optional<EventSuspend<Event<TClientDataSet&>>> editGuard(std::in_place,
                                                                  dataSet.BeforeEdit);
    std::optional<EventSuspend<Event<TClientDataSet&>>> self(std::in_place, dataSet.AfterPost);
    std::exception_ptr failure;
    try {
        dataSet.First();
        while (!dataSet.Eof()) {
            if (dataSet.FieldByName(kDish).Value() != posted &&
                dataSet.FieldByName(kPrincipal).AsString() == kYes) {
                dataSet.Edit();
                dataSet.FieldByName(kPrincipal).SetAsString(kNo);
                dataSet.Post();
            }
            dataSet.Next();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    editGuard.reset();
    try {
        dataSet.Locate(kDish, posted);
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    self.reset();
    dataSet.EnableControls();
    if (failure) std::rethrow_exception(failure);
}

void TfrmDistEmbCard::cdsItEmbDistCardAfterScroll(TClientDataSet&) {
    dbgPratosEmbColEnter(*dbgPratosEmb);
}

void TfrmDistEmbCard::dbgPratosEmbColEnter(TComponent&) {
    // The principal flag is set by clicking, never typed.
    dbgPratosEmb->SetOption(dgEditing, !PrincipalSelected(*dbgPratosEmb));
}

void TfrmDistEmbCard::dbgPratosEmbCellClick(TColumn&) {
    if (!cdsItEmbDistCard->Active() || cdsItEmbDistCard->IsEmpty()) return;
    const TField* selected = dbgPratosEmb->SelectedField();
    if (selected && selected->FieldName().compare(kPrincipal, Qt::CaseInsensitive) == 0)
        MarcaItemEmb();
}

void TfrmDistEmbCard::dbgPratosEmbDrawColumnCell(TComponent&, const QRect& rect, int dataCol,
                                                 TColumn& column, unsigned) {
    if (!cdsItEmbDistCard->Active() || cdsItEmbDistCard->IsEmpty()) return;
    if (dataCol < 0 || dataCol >= dbgPratosEmb->ColumnCount() ||
        dbgPratosEmb->Column(dataCol).FieldName().compare(kPrincipal, Qt::CaseInsensitive) != 0)
        return;
    (void)column;
    const bool ticked = dbgPratosEmb->DrawingValue(kPrincipal).toString() == kYes;
    dbgPratosEmb->DrawCellPicture(rect, (ticked ? imgChecked : imgUnchecked)->Picture());
}

void TfrmDistEmbCard::dbgPratosEmbKeyDown(TComponent&, int& key, TShiftState) {
    if (key == VK_SPACE) MarcaItemEmb();
    // Dish rows leave only through the remove buttons.
    if (key == VK_BACK || key == VK_DELETE) key = 0;
}

void TfrmDistEmbCard::MarcaItemEmb() {
    TClientDataSet& rows = *cdsItEmbDistCard;
    if (!rows.Active() || rows.IsEmpty()) return;
    // Marking another dish is the only way to unmark one.
    if (rows.FieldByName(kPrincipal).AsString() != kNo) return;
    EventSuspend<Event<TClientDataSet&>> guard(rows.BeforeEdit);
    rows.Edit();
    rows.FieldByName(kPrincipal).SetAsString(kYes);
    rows.Post();
}

double TfrmDistEmbCard::CapacidadeEmb(const QString& recipeBranch, const QString& dish,
                                      const QString& container) {
    pla::BusyScope busy(Zelvora::MainWindow(), 1);
    return server_.GetCapacidadeEmb(recipeBranch, dish, container);
}
