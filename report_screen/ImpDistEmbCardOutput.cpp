// What the three output buttons do: the request the controls describe, the document, and
// the preview, the printer or the PDF.
#include "framework/print/PrintOutput.h"
#include "framework/services/Consiste.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TMessages.h"
#include "report/LabelStock.h"
#include "report_screen/ImpDistEmbCard.h"

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
    return r;
}

PrintDocument TfrmImpDistEmbCard::MontaDocumento() {
    CarregaDia();
    const pla::DistributionReport::Result result = pla::DistributionReport::Build(*day_, Pedido());
    if (!result.error.isEmpty()) Consiste::MensErro(result.error, true);
    const QString without = pla::DistributionReport::WithoutMessage(result);
    if (!without.isEmpty() && without != toldWithout_) pla::Dialogs().ShowInformation(without);
    toldWithout_ = without;
    return result.document;
}

void TfrmImpDistEmbCard::btnVisualizarClick(TComponent&) {
    const PrintDocument document = MontaDocumento();
    pla::Printing().Preview(document);
}

void TfrmImpDistEmbCard::btnImprimirClick(TComponent&) {
    const PrintDocument document = MontaDocumento();
    if (pla::Printing().Print(document))
        pla::Dialogs().ShowInformation(
            msgPadrao->Msg(QStringLiteral("IMPRESSO")).arg(document.pages.size()));
}

void TfrmImpDistEmbCard::btnGerarPdfClick(TComponent&) {
    const PrintDocument document = MontaDocumento();
    const QString file =
        pla::Printing().SavePdf(document, pla::DistributionReport::FileName(*day_));
    if (!file.isEmpty())
        pla::Dialogs().ShowInformation(msgPadrao->Msg(QStringLiteral("PDF_GRAVADO")).arg(file));
}
