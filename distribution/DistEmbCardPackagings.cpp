// Packaging records: the container check and lookup, the temporary numbers, the purpose word,
// the quantity per unit, the key rules of the packaging grid, the editing guard and the
// deletion that first hands the packaging's dishes back.
#include "amounts/DishAmounts.h"
#include "distribution/DistEmbCard.h"
#include "framework/data/Abort.h"
#include "framework/data/NumberFormat.h"
#include "framework/services/Consiste.h"
#include "framework/services/Pesquisa.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TMessages.h"
#include "framework/ui/TSpeedButton.h"

namespace {

const QString kCode = QStringLiteral("CDCONTAINER");
const QString kName = QStringLiteral("NMCONTAINER");
const QString kPurpose = QStringLiteral("IDPROPOSITO");
const QString kUnits = QStringLiteral("QTCONTAINER");
const QString kQuantity = QStringLiteral("QTPRATO");
const QString kAverage = QStringLiteral("QTMEDIA");
const QString kNumber = QStringLiteral("NREMBDISTCARD");
constexpr int kCodeWidth = 5;
constexpr int kMaxUnitDigits = 5;

bool HoldsRecord(const TClientDataSet& ds) {
    return ds.Active() && !ds.IsEmpty();
}

// The grid's selected column is bound to field.
bool ColumnIs(const TDBGrid& grid, const QString& field) {
    const TColumn* c = grid.SelectedColumn();
    return c && c->FieldName().compare(field, Qt::CaseInsensitive) == 0;
}

} // namespace

void TfrmDistEmbCard::GetVdEmbalagens(const QString& code) {
    server_.GetVdEmbalagens(code, *cdsVdEmbalagens);
}

namespace {

// Puts the focus on the packaging grid's code column, where the user corrects the code.
void FocusCodeColumn(TDBGrid& grid) {
    if (grid.CanFocus() && !grid.Focused()) grid.SetFocus();
    const int col = Consiste::IndiceCol(grid, kCode);
    if (col >= 0) grid.SetSelectedIndex(col);
}

// Copies the current container of the query into the packaging being typed, with the unit
// count its purpose starts with.
void CopyContainer(TClientDataSet& packagings, const TClientDataSet& containers,
                   const TClientDataSet& header) {
    // Assigning the code clears the data of the previous container first.
    packagings.FieldByName(kCode).SetAsString(containers.FieldByName(kCode).AsString());
    packagings.FieldByName(kName).SetAsString(containers.FieldByName(kName).AsString());
    const QString purpose = containers.FieldByName(kPurpose).AsString();
    packagings.FieldByName(kPurpose).SetAsString(purpose);
    // An individual container gives one unit per diner; a collective one gets its units as
    // dishes go in.
    packagings.FieldByName(kUnits).SetAsFloat(
        purpose == QLatin1String("I") ? header.FieldByName(QStringLiteral("QTCOMENSAIS")).AsFloat()
                                      : 0.0);
}

} // namespace

void TfrmDistEmbCard::VdEmbalagens(bool mandatory) {
    TClientDataSet& packagings = *cdsEmbDistCard;
    if (!packagings.Active() || packagings.State() != TDataSetState::Insert) return;

    TField& code = packagings.FieldByName(kCode);
    const QString typed = code.AsString();
    if (Consiste::EmptyString(typed)) {
        if (!mandatory) return;
        FocusCodeColumn(*dbgEmbalagens);
        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("EMB_N_INF")), true);
    }

    // Units typed during the insertion give way to the container's: the clerk is told so.
    const TField& units = packagings.FieldByName(kUnits);
    const QVariant typedUnits = units.IsNull() ? QVariant() : QVariant(units.AsFloat());
    code.SetAsString(Consiste::Ajusta(typed, kCodeWidth));
    GetVdEmbalagens(code.AsString());
    if (cdsVdEmbalagens->IsEmpty()) {
        FocusCodeColumn(*dbgEmbalagens);
        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("EMB_N_CAD")), true);
    }
    CopyContainer(packagings, *cdsVdEmbalagens, *cdsDistCard);
    if (typedUnits.isValid() && typedUnits.toDouble() != units.AsFloat())
        pla::Dialogs().ShowInformation(
            QStringLiteral("As unidades de uma embalagem nova vêm do container: uma por comensal "
                           "na individual; na coletiva, conforme os pratos adicionados. As %1 "
                           "unidades digitadas deram lugar a %2; depois de incluída, a "
                           "embalagem aceita outras unidades.")
                .arg(NumberFormat::General(typedUnits.toDouble()),
                     NumberFormat::General(units.AsFloat())));
}

void TfrmDistEmbCard::dbgEmbalagensEditButtonClick(TComponent&) {
    TClientDataSet& packagings = *cdsEmbDistCard;
    if (!ColumnIs(*dbgEmbalagens, kCode)) return;
    const bool inserting = packagings.State() == TDataSetState::Insert;
    if (!inserting && HoldsRecord(packagings)) return;

    // On an empty list this starts a new packaging (guard and numbering apply).
    if (!packagings.Editing()) packagings.Edit();

    GetVdEmbalagens(QStringLiteral("T"));
    const QString caption = msgPadrao->Msg(QStringLiteral("EMB")) + QLatin1Char('|') +
                            msgPadrao->Msg(QStringLiteral("NAO_HA_EMB"));
    if (!Pesquisa::Pesquisar(*dtsVdEmbalagens, caption, false, true)) return;
    CopyContainer(packagings, *cdsVdEmbalagens, *cdsDistCard);
}

void TfrmDistEmbCard::cdsEmbDistCardIDPROPOSITOGetText(TField& sender, QString& text, bool) {
    if (sender.DataSet().IsEmpty()) {
        text.clear();
        return;
    }
    // A purpose not yet known has no catalogue entry: the cell stays blank.
    text = msgPadrao->Msg(QStringLiteral("PROPOSITO_") + sender.AsString());
}

void TfrmDistEmbCard::cdsEmbDistCardCalcFields(TClientDataSet& dataSet) {
    const double units = dataSet.FieldByName(kUnits).AsFloat();
    dataSet.FieldByName(kAverage).SetAsFloat(
        pla::DishAmounts::PerUnit(dataSet.FieldByName(kQuantity).AsFloat(), units));
}

void TfrmDistEmbCard::cdsEmbDistCardBeforeInsert(TClientDataSet&) {
    const bool noPoint = cmbPontosEntrega->ItemIndex() == 0 && cmbPontosEntrega->Count() > 1;
    if (!HoldsRecord(*cdsDistCard) || noPoint) throw Abort();
}

void TfrmDistEmbCard::cdsEmbDistCardBeforeEdit(TClientDataSet& dataSet) {
    cdsEmbDistCardBeforeInsert(dataSet);
}

void TfrmDistEmbCard::cdsEmbDistCardNewRecord(TClientDataSet& dataSet) {
    ++newPackagingCounter_;
    dataSet.FieldByName(kNumber).SetAsFloat(-static_cast<double>(newPackagingCounter_));
}

void TfrmDistEmbCard::cdsEmbDistCardBeforePost(TClientDataSet&) {
    VdEmbalagens(true);
}

void TfrmDistEmbCard::cdsEmbDistCardBeforeDelete(TClientDataSet&) {
    // The dishes go back first, so that nothing is lost with the packaging.
    btnDelTPrat->Click();
}

void TfrmDistEmbCard::cdsEmbDistCardAfterDelete(TClientDataSet&) {
    AlteraDistribuicao();
}

void TfrmDistEmbCard::cdsEmbDistCardAfterScroll(TClientDataSet&) {
    if (ColumnIs(*dbgEmbalagens, kCode)) UpdateLookupButton();
    AplicaFiltroItEmb();
    Habilita();
}

void TfrmDistEmbCard::cdsEmbDistCardCDCONTAINERChange(TField& sender) {
    TClientDataSet& ds = sender.DataSet();
    if (!ds.Editing()) return;
    ds.FieldByName(kName).Clear();
    ds.FieldByName(kPurpose).Clear();
    ds.FieldByName(kUnits).Clear();
}

void TfrmDistEmbCard::UpdateLookupButton() {
    const int col = Consiste::IndiceCol(*dbgEmbalagens, kCode);
    if (col < 0) return;
    const TClientDataSet& packagings = *cdsEmbDistCard;
    const bool inserting = packagings.State() == TDataSetState::Insert || !HoldsRecord(packagings);
    dbgEmbalagens->Column(col).SetButtonStyle(inserting ? TColumnButtonStyle::cbsEllipsis
                                                        : TColumnButtonStyle::cbsNone);
}

void TfrmDistEmbCard::dbgEmbalagensColEnter(TComponent&) {
    if (ColumnIs(*dbgEmbalagens, kCode)) UpdateLookupButton();
}

void TfrmDistEmbCard::dbgEmbalagensColExit(TComponent&) {
    if (ColumnIs(*dbgEmbalagens, kCode)) VdEmbalagens(false);
}

void TfrmDistEmbCard::dbgEmbalagensKeyDown(TComponent&, int& key, TShiftState shift) {
    if (key != VK_BACK && key != VK_DELETE) return;
    if (key == VK_DELETE && (shift & ssCtrl)) {
        key = 0; // packagings are deleted by the delete action only
        return;
    }
    const bool inserting =
        cdsEmbDistCard->State() == TDataSetState::Insert || !HoldsRecord(*cdsEmbDistCard);
    if (ColumnIs(*dbgEmbalagens, kCode)) {
        if (!inserting) key = 0;
    } else if (!ColumnIs(*dbgEmbalagens, kUnits)) {
        key = 0;
    }
}

void TfrmDistEmbCard::dbgEmbalagensKeyPress(TComponent&, QChar& key) {
    const ushort c = key.unicode();
    if (c == VK_TAB || c == VK_RETURN) return;
    const bool inserting =
        cdsEmbDistCard->State() == TDataSetState::Insert || !HoldsRecord(*cdsEmbDistCard);
    if (ColumnIs(*dbgEmbalagens, kCode)) {
        // The container is fixed once the packaging is stored.
        if (c != VK_BACK && !inserting) key = QChar();
        return;
    }
    if (ColumnIs(*dbgEmbalagens, kUnits)) {
        if (c == VK_BACK) return;
        const bool digit = c >= '0' && c <= '9';
        // Whole units of at most five digits: no sign, no separator.
        if (!digit || Consiste::GridText(*dbgEmbalagens, kUnits, false).size() >= kMaxUnitDigits)
            key = QChar();
        return;
    }
    key = QChar();
}

void TfrmDistEmbCard::panEmbDistrExit(TComponent&) {
    if (cdsEmbDistCard->Editing()) cdsEmbDistCard->Post();
}
