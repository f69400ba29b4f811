// The undistributed dishes list: read-only but for the quantity per person of a dish that
// is in no packaging yet, whose post recomputes the dish's quantities.
#include "distribution/DistEmbCard.h"
#include "framework/data/Abort.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBEdit.h"

void TfrmDistEmbCard::cdsCardapioDisponivelBeforeEdit(TClientDataSet&) {
    // Only with one delivery point chosen (the blank first entry chooses none).
    if (cmbPontosEntrega->ItemIndex() == 0 && cmbPontosEntrega->Count() > 1) throw Abort();
}

void TfrmDistEmbCard::cdsCardapioDisponivelAfterEdit(TClientDataSet&) {
    AlteraDistribuicao();
}

void TfrmDistEmbCard::cdsCardapioDisponivelBeforePost(TClientDataSet& dataSet) {
    // An empty quantity per person reads as zero.
    const double perPerson = dataSet.FieldByName(QStringLiteral("QTPORPESSOA")).AsFloat();
    dataSet.FieldByName(QStringLiteral("QTTOTPRATO"))
        .SetAsFloat(dataSet.FieldByName(QStringLiteral("QTTOTCOMENSAIS")).AsFloat() * perPerson);
    dataSet.FieldByName(QStringLiteral("QTPRATO"))
        .SetAsFloat(dataSet.FieldByName(QStringLiteral("QTCOMENSAIS")).AsFloat() * perPerson);
}

void TfrmDistEmbCard::cdsCardapioDisponivelAfterScroll(TClientDataSet&) {
    const TClientDataSet& dishes = *cdsCardapioDisponivel;
    bool packed = false;
    if (dishes.Active() && !dishes.IsEmpty() && cdsItEmbDistCard->Active()) {
        const TField& current = dishes.FieldByName(QStringLiteral("NRSEQPRATCAR"));
        if (!current.IsNull()) {
            const double dish = current.AsFloat();
            // Every packaging counts, not only the current one the dish rows are filtered to.
            const TDataPacket rows = cdsItEmbDistCard->Data();
            int column = -1;
            for (int i = 0; i < rows.Fields.size(); ++i)
                if (rows.Fields.at(i).Name.compare(QStringLiteral("NRSEQPRATCAR"),
                                                   Qt::CaseInsensitive) == 0)
                    column = i;
            for (const QVector<QVariant>& row : rows.Rows)
                if (column >= 0 && row.at(column).isValid() && row.at(column).toDouble() == dish) {
                    packed = true;
                    break;
                }
        }
    }
    // The quantity per person may change only while no part of the dish is packed.
    dbeQtPorPessoa->SetEnabled(!packed);
}

void TfrmDistEmbCard::dbgCardapioKeyDown(TComponent&, int& key, TShiftState) {
    // The amounts change only through the dish moves.
    if (key == VK_BACK || key == VK_DELETE) key = 0;
}

void TfrmDistEmbCard::dbgCardapioKeyPress(TComponent&, QChar& key) {
    if (key.unicode() != VK_TAB && key.unicode() != VK_RETURN) key = QChar();
}

void TfrmDistEmbCard::dbeQtPorPessoaKeyPress(TComponent&, QChar& key) {
    const ushort c = key.unicode();
    if (c == VK_BACK || c == VK_TAB || c == VK_RETURN || (c >= '0' && c <= '9')) return;
    if (c == ',' && !dbeQtPorPessoa->Text().contains(QLatin1Char(','))) return;
    key = QChar();
}

void TfrmDistEmbCard::grbInfoPratExit(TComponent&) {
    TClientDataSet& dishes = *cdsCardapioDisponivel;
    if (dishes.Active() &&
        (dishes.State() == TDataSetState::Edit || dishes.State() == TDataSetState::Insert))
        dishes.Post();
}
