// The service list with its group filter and status lights, and the delivery points of the
// current service.
#include "distribution/DistEmbCard.h"
#include "framework/data/EventSuspend.h"
#include "framework/data/ScopeExit.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TImage.h"

#include <exception>
#include <functional>

namespace {

const QString kIdSituacao = QStringLiteral("IDSITUACAO");

} // namespace

void TfrmDistEmbCard::GetGruposServicos() {
    pla::BusyScope busy(Zelvora::MainWindow());
    groups_.Fill(*cmbFiltroGrupo, server_.GetGruposServico());
}

void TfrmDistEmbCard::cmbFiltroGrupoChange(TComponent&) {
    std::exception_ptr failure;
    {
        EventSuspend<Event<TClientDataSet&>> scroll(cdsServicos->AfterScroll);
        try {
            groups_.ApplyTo(*cdsServicos, cmbFiltroGrupo->ItemIndex());
        } catch (...) {
            failure = std::current_exception();
        }
    }
    // Delivery points and distribution follow the record now current, also after a failure.
    cdsServicos->AfterScroll(*cdsServicos);
    if (failure) std::rethrow_exception(failure);
}

void TfrmDistEmbCard::GetServicos(const QString& branch, const QDate& date, bool keep) {
    // The combo's change event stays detached until the very end, and comes back however the
    // reload ends.
    const TNotifyEvent::Handler changeHandler = cmbPontosEntrega->OnChange.Take();
    bool changeAttached = false;
    auto reattachChange = [&] {
        if (changeAttached) return;
        cmbPontosEntrega->OnChange.Set(changeHandler);
        changeAttached = true;
    };
    pla::ScopeExit changeGuard(reattachChange);

    QString rememberedKey;
    bool hadSelection = false;
    std::exception_ptr failure;
    {
        EventSuspend<Event<TClientDataSet&>> scroll(cdsServicos->AfterScroll);
        try {
            pla::BusyScope busy(Zelvora::MainWindow());
            const QString rememberedService =
                cdsServicos->Active() && !cdsServicos->IsEmpty()
                    ? cdsServicos->FieldByName(QStringLiteral("CDSERVFILI")).AsString()
                    : QString();
            hadSelection = cmbPontosEntrega->ItemIndex() >= 0;
            if (hadSelection) rememberedKey = SelectedDeliveryPointKey();

            server_.GetServicos(branch, date, *cdsServicos);
            groups_.ApplyTo(*cdsServicos, cmbFiltroGrupo->ItemIndex());
            if (keep) cdsServicos->Locate(QStringLiteral("CDSERVFILI"), rememberedService);
        } catch (...) {
            failure = std::current_exception();
        }
    }

    // The scroll event runs once for the service now current, with the combo still silent;
    // the combo's own event then loads the chosen delivery point.
    cdsServicos->AfterScroll(*cdsServicos);
    if (keep && hadSelection) {
        const int index = static_cast<int>(deliveryPointKeys_.indexOf(rememberedKey));
        // A delivery point that is gone keeps the selection the fill made.
        if (index >= 0 && index < cmbPontosEntrega->Count()) cmbPontosEntrega->SetItemIndex(index);
    }
    reattachChange();
    cmbPontosEntrega->OnChange(*cmbPontosEntrega);
    if (failure) std::rethrow_exception(failure);
}

void TfrmDistEmbCard::cdsServicosCalcFields(TClientDataSet& ds) {
    ds.FieldByName(QStringLiteral("SERVICO"))
        .SetAsString(ds.FieldByName(QStringLiteral("CDSERVFILI")).AsString() +
                     QStringLiteral(" - ") +
                     ds.FieldByName(QStringLiteral("NMSERVICO")).AsString());
}

void TfrmDistEmbCard::cdsServicosAfterScroll(TClientDataSet&) {
    // With no service in sight there is nothing to ask the server for.
    if (cdsServicos->Active() && !cdsServicos->IsEmpty()) {
        GetPontosEntrega(cdsServicos->FieldByName(QStringLiteral("CDFILIAL")).AsString(),
                         cdsServicos->FieldByName(QStringLiteral("CDSERVFILI")).AsString());
        GetDistribuicao(QStringLiteral("N"), false);
    }
    dbgPadraoColEnter(*dbgPadrao);
    Habilita();
}

void TfrmDistEmbCard::GetPontosEntrega(const QString& branch, const QString& service) {
    pla::BusyScope busy(Zelvora::MainWindow());
    const QVector<pla::DeliveryPoint> points = server_.GetPontosEntrega(branch, service);

    cmbPontosEntrega->Clear();
    deliveryPointKeys_.clear();
    cmbPontosEntrega->AddItem(QString());
    deliveryPointKeys_.append(QString());
    for (const pla::DeliveryPoint& p : points) {
        // A point without a client name shows its destination alone.
        const QString text = p.clientName.isEmpty()
                                 ? p.destinationName
                                 : p.clientName.left(25) + QStringLiteral("  ") + p.destinationName;
        cmbPontosEntrega->AddItem(text);
        deliveryPointKeys_.append(p.destinationCode + QLatin1Char('_') + p.clientCode);
    }
    cmbPontosEntrega->SetItemIndex(cmbPontosEntrega->Count() > 1 ? 1 : 0);
}

void TfrmDistEmbCard::cmbPontosEntregaChange(TComponent&) {
    GetDistribuicao(QStringLiteral("N"), false);
}

void TfrmDistEmbCard::dbgPadraoColEnter(TComponent&) {
    const TColumn* column = dbgPadrao->SelectedColumn();
    const bool onStatus =
        column && column->FieldName().compare(kIdSituacao, Qt::CaseInsensitive) == 0;
    dbgPadrao->SetOption(dgEditing, !onStatus);
}

void TfrmDistEmbCard::dbgPadraoDrawColumnCell(TComponent&, const QRect& rect, int, TColumn& column,
                                              unsigned) {
    if (!cdsServicos->Active() || cdsServicos->IsEmpty()) return;
    if (column.FieldName().compare(kIdSituacao, Qt::CaseInsensitive) != 0) return;
    const QString status = dbgPadrao->DrawingValue(kIdSituacao).toString();
    const TImage* light = status == QLatin1String("N")   ? imgFarolCinza
                          : status == QLatin1String("I") ? imgFarolVermelho
                                                         : imgFarolVerde;
    dbgPadrao->DrawCellPicture(rect, light->Picture());
}

void TfrmDistEmbCard::dbgPadraoKeyDown(TComponent&, int& key, TShiftState) {
    // The list is read-only: deleting keys do nothing, with or without Ctrl.
    if (key == VK_BACK || key == VK_DELETE) key = 0;
}
