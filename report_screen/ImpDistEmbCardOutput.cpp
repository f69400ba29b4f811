// What the three output buttons do: the request the controls describe, the document, and
// the preview, the printer or the PDF.
#include "framework/print/PrintOutput.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TMessages.h"
#include "report/LabelPrinter.h"
#include "report/LabelStock.h"
#include "report/ReportTexts.h"
#include "report_screen/ImpDistEmbCard.h"

#include <QSet>

pla::ReportRequest TfrmImpDistEmbCard::Pedido() const {
    pla::ReportRequest r;
    const TDataPacket data = cdsServicos->Data();
    const int code = data.IndexOf(QStringLiteral("CDSERVFILI"));
    const int tick = data.IndexOf(QStringLiteral("IDMARCADO"));
    for (const QVector<QVariant>& row : data.Rows)
        if (code >= 0 && tick >= 0 && row[tick].toString() == QLatin1String("S"))
            r.services.push_back(row[code].toString());
    r.pointKey = pointKeys_.value(cmbPontoEntrega->ItemIndex());
    static const pla::ReportContents kContents[] = {
        pla::ReportContents::Both, pla::ReportContents::Labels, pla::ReportContents::PackingList};
    r.contents = kContents[std::clamp(cmbConteudo->ItemIndex(), 0, 2)];
    const auto& stocks = pla::LabelStock::All();
    r.stock = stocks.value(std::clamp(cmbEtiqueta->ItemIndex(), 0, int(stocks.size()) - 1)).name;
    r.prepared = Preparo();
    if (chbAlteradas->Checked() && day_) {
        // Changed since their last labels print, or never printed.
        QSet<qint64> changed;
        for (const pla::DayPackaging& p : day_->packagings) {
            const auto printed = prints_.constFind(p.distribution);
            if (printed == prints_.constEnd() || printed->version < p.version)
                changed.insert(p.distribution);
        }
        r.only = changed;
    }
    return r;
}

QDateTime TfrmImpDistEmbCard::Preparo() const {
    return pla::ReportTexts::Preparation(dpePreparo->GetDate(), edtHoraPreparo->Text());
}

pla::DistributionReport::Result TfrmImpDistEmbCard::MontaDocumento() {
    CarregaDia();
    VdPreparo();
    const pla::DistributionReport::Result result = pla::DistributionReport::Build(*day_, Pedido());
    if (!result.error.isEmpty()) Consiste::MensErro(result.error, true);
    // Labels the data does not allow are told; the packing lists still go out.
    if (!result.labelsRefused.isEmpty()) pla::Dialogs().ShowError(result.labelsRefused);
    const QString without = pla::DistributionReport::WithoutMessage(result);
    if (!without.isEmpty() && without != toldWithout_) pla::Dialogs().ShowInformation(without);
    toldWithout_ = without;
    return result;
}

void TfrmImpDistEmbCard::RegistraImpressao(const pla::PrintJob& printed) {
    pla::DistEmbCardMethods server(netImpDistEmbCard);
    server.SetImpressaoDistribuicao(printed);
    prints_ = server.GetEtiquetasImpressas(day_->branch, day_->date);
}

void TfrmImpDistEmbCard::btnVisualizarClick(TComponent&) {
    pla::Printing().Preview(MontaDocumento().document);
}

void TfrmImpDistEmbCard::btnImprimirClick(TComponent&) {
    const pla::DistributionReport::Result result = MontaDocumento();
    if (!pla::Printing().Print(result.document)) return;
    RegistraImpressao(pla::DistributionReport::Job(*day_, result));
    pla::Dialogs().ShowInformation(
        msgPadrao->Msg(QStringLiteral("IMPRESSO")).arg(result.document.pages.size()));
}

pla::LabelPrinterChoice TfrmImpDistEmbCard::EscolhaImpressoraEtiquetas() const {
    pla::LabelPrinterChoice choice;
    choice.printer = edtImpressoraEtiquetas->Text().trimmed();
    choice.stock = Pedido().stock;
    choice.dpi = cmbDpiEtiquetas->ItemIndex() == 1 ? 300 : 203;
    return choice;
}

void TfrmImpDistEmbCard::btnImprimirEtiquetasClick(TComponent&) {
    CarregaDia();
    VdPreparo();
    pla::ReportRequest request = Pedido();
    request.contents = pla::ReportContents::Labels;
    pla::DistributionReport::Result selected;
    const QVector<const pla::DayPackaging*> chosen =
        pla::DistributionReport::Select(*day_, request, selected);
    if (!selected.error.isEmpty()) Consiste::MensErro(selected.error, true);
    const QString without = pla::DistributionReport::WithoutMessage(selected);
    if (!without.isEmpty() && without != toldWithout_) pla::Dialogs().ShowInformation(without);
    toldWithout_ = without;

    const pla::LabelPrinterChoice choice = EscolhaImpressoraEtiquetas();
    const QDateTime prepared = pla::DistributionReport::Prepared(*day_, request);
    QString error;
    {
        pla::BusyScope busy(Zelvora::MainWindow());
        error = pla::LabelPrinter::Print(*day_, chosen, prepared, {}, choice);
    }
    if (!error.isEmpty()) {
        edtImpressoraEtiquetas->SetFocus();
        Consiste::MensErro(error, true);
    }
    choice.Save();
    RegistraImpressao(pla::DistributionReport::LabelsJob(*day_, chosen, prepared));
    pla::Dialogs().ShowInformation(
        msgPadrao->Msg(QStringLiteral("ETIQUETAS_ENVIADAS")).arg(choice.printer));
}

void TfrmImpDistEmbCard::btnGerarPdfClick(TComponent&) {
    const pla::DistributionReport::Result result = MontaDocumento();
    const QString file =
        pla::Printing().SavePdf(result.document, pla::DistributionReport::FileName(*day_));
    if (file.isEmpty()) return;
    RegistraImpressao(pla::DistributionReport::Job(*day_, result));
    pla::Dialogs().ShowInformation(msgPadrao->Msg(QStringLiteral("PDF_GRAVADO")).arg(file));
}
