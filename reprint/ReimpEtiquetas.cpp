#include "reprint/ReimpEtiquetas.h"

#include "framework/services/Consiste.h"
#include "framework/ui/ControlFactory.h"
#include "framework/ui/ModalResult.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"
#include "report/LabelPrinterChoice.h"
#include "report/LabelStock.h"
#include "report/ReportTexts.h"
#include "reprint/UnitRange.h"

#include <algorithm>

using pla::MakeBoldLabel;
using pla::MakeControl;

TfrmReimpEtiquetas::TfrmReimpEtiquetas(TComponent* owner) : TfrmRotiGeral(owner) {
    SetName(QStringLiteral("frmReimpEtiquetas"));
    SetCaption(QStringLiteral("Reimprimir etiquetas da embalagem"));
    SetBounds(0, 0, 520, 170);
    lblCodTela->SetCaption(QStringLiteral("PLA15400"));
    sbtHelp->SetVisible(false);

    lblEmbalagem = MakeBoldLabel(this, grbDadosRel, "lblEmbalagem", QString(), 10, 22, 400);
    lblUnidades =
        MakeBoldLabel(this, grbDadosRel, "lblUnidades", QStringLiteral("Unidades"), 10, 50, 96);
    edtUnidades = MakeControl<TEdit>(this, grbDadosRel, "edtUnidades");
    edtUnidades->SetBounds(110, 46, 80, 21);
    edtUnidades->SetMaxLength(15);
    edtUnidades->SetHint(QStringLiteral("Uma unidade (2), um intervalo (1-3) ou vazio para todas"));
    edtUnidades->SetShowHint(true);
    lblUnidades->SetFocusControl(edtUnidades);

    lblEtiqueta =
        MakeBoldLabel(this, grbDadosRel, "lblEtiqueta", QStringLiteral("Etiqueta"), 10, 78, 96);
    cmbEtiqueta = MakeControl<TComboBox>(this, grbDadosRel, "cmbEtiqueta");
    cmbEtiqueta->SetBounds(110, 74, 290, 21);
    QStringList stocks;
    for (const pla::LabelStock& s : pla::LabelStock::All())
        stocks.push_back(s.caption);
    cmbEtiqueta->SetItems(stocks);
    // The roll of the workstation's label printer when it has one, else the default stock.
    const pla::LabelPrinterChoice printer = pla::LabelPrinterChoice::Load();
    const pla::LabelStock* roll = pla::LabelStock::Find(printer.stock);
    cmbEtiqueta->SetItemIndex(printer.printer.trimmed().isEmpty() || !roll
                                  ? 0
                                  : int(roll - pla::LabelStock::All().data()));
    lblEtiqueta->SetFocusControl(cmbEtiqueta);

    lblPreparo =
        MakeBoldLabel(this, grbDadosRel, "lblPreparo", QStringLiteral("Preparado em"), 10, 106, 96);
    dpePreparo = MakeControl<TDateEditPlus>(this, grbDadosRel, "dpePreparo");
    dpePreparo->SetBounds(110, 102, 100, 21);
    edtHoraPreparo = MakeControl<TEdit>(this, grbDadosRel, "edtHoraPreparo");
    edtHoraPreparo->SetBounds(214, 102, 50, 21);
    edtHoraPreparo->SetMaxLength(5);
    edtHoraPreparo->SetAccessibleName(QStringLiteral("Hora do preparo"));
    lblPreparo->SetFocusControl(dpePreparo);

    edtUnidades->SetTabOrder(0);
    cmbEtiqueta->SetTabOrder(1);
    dpePreparo->SetTabOrder(2);
    edtHoraPreparo->SetTabOrder(3);
}

TfrmReimpEtiquetas::~TfrmReimpEtiquetas() {
    DestroyComponents();
}

std::optional<TfrmReimpEtiquetas::Choice>
TfrmReimpEtiquetas::Ask(const pla::DayPackaging& packaging, const QDateTime& prepared) {
    count_ = packaging.LabelCount();
    lblEmbalagem->SetCaption(QStringLiteral("Embalagem %1 · %2 - %3 · %4 unidade(s)")
                                 .arg(packaging.number)
                                 .arg(packaging.container, packaging.containerName)
                                 .arg(count_));
    edtUnidades->SetText(QString());
    dpePreparo->SetDate(prepared.date());
    edtHoraPreparo->SetText(prepared.time().toString(QStringLiteral("HH:mm")));
    FocusControl(edtUnidades);
    if (ShowModal() != mrOk) return std::nullopt;
    const auto& stocks = pla::LabelStock::All();
    return Choice{units_, &stocks[std::clamp(cmbEtiqueta->ItemIndex(), 0, int(stocks.size()) - 1)],
                  Prepared()};
}

QDateTime TfrmReimpEtiquetas::Prepared() const {
    return pla::ReportTexts::Preparation(dpePreparo->GetDate(), edtHoraPreparo->Text());
}

void TfrmReimpEtiquetas::sbtConfirmaClick(TComponent& sender) {
    QString error;
    const std::optional<QList<int>> units =
        pla::UnitRange::Parse(edtUnidades->Text(), count_, error);
    if (!units) {
        edtUnidades->FocusIfPossible();
        Consiste::MensErro(error, true);
    }
    if (!Prepared().isValid()) {
        (dpePreparo->GetDate().isValid() ? static_cast<TWinControl*>(edtHoraPreparo) : dpePreparo)
            ->FocusIfPossible();
        Consiste::MensErro(
            QStringLiteral("Informe a data e a hora do preparo (dd/mm/aaaa e hh:mm)."), true);
    }
    units_ = *units;
    TfrmRotiGeral::sbtConfirmaClick(sender);
}
