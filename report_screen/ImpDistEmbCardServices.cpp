// The service list: filling it from the day, the group filter, ticking and the tick column.
#include "framework/data/Abort.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TImage.h"
#include "report_screen/ImpDistEmbCard.h"

#include <QHash>
#include <QSet>

namespace {

const QString kIdMarcado = QStringLiteral("IDMARCADO");
const QString kCode = QStringLiteral("CDSERVFILI");
const QString kTicked = QStringLiteral("S");
const QString kUnticked = QStringLiteral("N");

bool IsTickColumn(const TColumn& column) {
    return column.FieldName().compare(kIdMarcado, Qt::CaseInsensitive) == 0;
}

} // namespace

void TfrmImpDistEmbCard::FillServices() {
    QHash<QString, int> counts;
    for (const pla::DayPackaging& p : day_->packagings)
        counts[p.service] += 1;
    TDataPacket packet;
    packet.Fields = {{kIdMarcado, TFieldType::String, 1},
                     {QStringLiteral("CDGRUPSERV"), TFieldType::String, 3},
                     {kCode, TFieldType::String, 5},
                     {QStringLiteral("NMSERVICO"), TFieldType::String, 40},
                     {QStringLiteral("QTEMBALAGENS"), TFieldType::Integer, 0}};
    for (const pla::DayService& s : day_->services)
        packet.Rows.push_back({kTicked, s.group, s.code, s.name, counts.value(s.code)});
    cdsServicos->SetData(packet);
    cmbFiltroGrupoChange(*cmbFiltroGrupo);
}

void TfrmImpDistEmbCard::cmbFiltroGrupoChange(TComponent&) {
    groups_.ApplyTo(*cdsServicos, cmbFiltroGrupo->ItemIndex());
}

void TfrmImpDistEmbCard::MarcaServico(bool all) {
    if (!cdsServicos->Active() || cdsServicos->IsEmpty()) return;
    const QString current = cdsServicos->FieldByName(kCode).AsString();
    QSet<QString> targets;
    bool everyTicked = true;
    if (all) {
        for (cdsServicos->First(); !cdsServicos->Eof(); cdsServicos->Next()) {
            targets.insert(cdsServicos->FieldByName(kCode).AsString());
            everyTicked = everyTicked && cdsServicos->FieldByName(kIdMarcado).AsString() == kTicked;
        }
    } else {
        targets.insert(current);
        everyTicked = cdsServicos->FieldByName(kIdMarcado).AsString() == kTicked;
    }
    // The list is read-only to the user: the ticks are changed on its data and reloaded.
    TDataPacket data = cdsServicos->Data();
    const int code = data.IndexOf(kCode), tick = data.IndexOf(kIdMarcado);
    for (QVector<QVariant>& row : data.Rows)
        if (targets.contains(row[code].toString())) row[tick] = everyTicked ? kUnticked : kTicked;
    cdsServicos->SetData(data);
    cdsServicos->Locate(kCode, current);
}

void TfrmImpDistEmbCard::cdsServicosCalcFields(TClientDataSet& ds) {
    ds.FieldByName(QStringLiteral("SERVICO"))
        .SetAsString(ds.FieldByName(kCode).AsString() + QStringLiteral(" - ") +
                     ds.FieldByName(QStringLiteral("NMSERVICO")).AsString());
}

void TfrmImpDistEmbCard::cdsServicosBeforeInsert(TClientDataSet&) {
    throw Abort();
}

void TfrmImpDistEmbCard::cdsServicosBeforeEdit(TClientDataSet&) {
    throw Abort();
}

void TfrmImpDistEmbCard::dbgServicosDrawColumnCell(TComponent&, const QRect& rect, int,
                                                   TColumn& column, unsigned) {
    if (!cdsServicos->Active() || cdsServicos->IsEmpty() || !IsTickColumn(column)) return;
    const bool ticked = dbgServicos->DrawingValue(kIdMarcado).toString() == kTicked;
    dbgServicos->DrawCellPicture(rect, (ticked ? imgChecked : imgUnchecked)->Picture());
}

void TfrmImpDistEmbCard::dbgServicosCellClick(TColumn& column) {
    if (IsTickColumn(column)) MarcaServico(false);
}

void TfrmImpDistEmbCard::dbgServicosTitleClick(TColumn& column) {
    if (IsTickColumn(column)) MarcaServico(true);
}

void TfrmImpDistEmbCard::dbgServicosKeyDown(TComponent&, int& key, TShiftState) {
    if (key == VK_SPACE) {
        MarcaServico(false);
        key = 0;
    }
}
