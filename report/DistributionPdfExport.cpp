#include "report/DistributionPdfExport.h"

#include "framework/data/ReadOnlyQuery.h"
#include "framework/net/NetConnection.h"
#include "framework/print/PrintOutput.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/Dispatch.h"
#include "remote/DistEmbCardMethods.h"
#include "remote/DistributionDayReader.h"
#include "report/DistributionReport.h"
#include "report/LabelPrinter.h"
#include "report/ZplLabels.h"

#include <QSaveFile>

namespace pla {

namespace {

// The registered name of branch, or a message ending the action.
QString BranchName(const QString& branch) {
    TADOIBQuery q(QStringLiteral("qryFilial"));
    q.SQL = QStringLiteral("SELECT CDFILIAL, NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL");
    q.SetConnectionName(Zelvora::DatabaseConnectionName());
    q.SetParam(QStringLiteral("P_CDFILIAL"), branch);
    q.Open();
    if (q.IsEmpty())
        Consiste::MensErro(QStringLiteral("Filial %1 não cadastrada.").arg(branch), true);
    return q.FieldByName(QStringLiteral("NMFILIAL")).AsString();
}

ReportContents Contents(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t.isEmpty() || t == QLatin1String("ambos")) return ReportContents::Both;
    if (t == QLatin1String("etiquetas")) return ReportContents::Labels;
    if (t == QLatin1String("romaneios")) return ReportContents::PackingList;
    Consiste::MensErro(
        QStringLiteral("Conteúdo desconhecido: \"%1\". Use etiquetas, romaneios ou ambos.")
            .arg(text),
        true);
    return ReportContents::Both;
}

// The day's labels in ZPL, to the file or to the printer: true when done, otherwise the
// reason ends the action.
bool WriteZpl(TNetConnection& net, const DistributionDay& day, const ReportRequest& request,
              const QVariantMap& params, const QString& file, const QString& printer) {
    const QString dpiText = params.value(QStringLiteral("dpi"), QStringLiteral("203")).toString();
    bool ok = false;
    const int dpi = dpiText.toInt(&ok);
    if (!ok || !ZplLabels::SupportedDpi(dpi))
        Consiste::MensErro(
            QStringLiteral("Resolução inválida: \"%1\" (use 203 ou 300).").arg(dpiText), true);
    const LabelStock* stock = LabelStock::Find(request.stock);
    if (!stock) Consiste::MensErro(DistributionReport::UnknownStock(request.stock), true);
    DistributionReport::Result selected;
    const QVector<const DayPackaging*> chosen = DistributionReport::Select(day, request, selected);
    if (!selected.error.isEmpty()) Consiste::MensErro(selected.error, true);
    const QDateTime prepared = DistributionReport::Prepared(day, request);
    if (!printer.trimmed().isEmpty()) {
        LabelPrinterChoice choice;
        choice.printer = printer;
        choice.stock = stock->name;
        choice.dpi = dpi;
        const QString error = LabelPrinter::Print(day, chosen, prepared, {}, choice);
        if (!error.isEmpty()) Consiste::MensErro(error, true);
    } else {
        QString error;
        const QByteArray zpl = ZplLabels::Build(day, chosen, *stock, dpi, prepared, error);
        if (!error.isEmpty()) Consiste::MensErro(error, true);
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(zpl) != zpl.size() || !out.commit())
            Consiste::MensErro(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                                   .arg(file, out.errorString()),
                               true);
    }
    // A file written counts as printed, as the PDF does: scripts send it on to the printer.
    DistEmbCardMethods(net).SetImpressaoDistribuicao(
        DistributionReport::LabelsJob(day, chosen, prepared));
    return true;
}

} // namespace

bool DistributionPdfExport::Run(const QVariantMap& params) {
    bool written = false;
    Dispatch([&] {
        const QString file = params.value(QStringLiteral("pdf")).toString();
        const QString zplFile = params.value(QStringLiteral("zpl")).toString();
        const QString printer = params.value(QStringLiteral("printer")).toString();
        const bool zpl = !zplFile.trimmed().isEmpty() || !printer.trimmed().isEmpty();
        if (file.trimmed().isEmpty() && !zpl)
            Consiste::MensErro(QStringLiteral("Informe o arquivo PDF a gravar."), true);
        const QString branch = Consiste::Ajusta(
            params.value(QStringLiteral("branch"), Zelvora::FiliProc).toString(), 4);
        const QString dateText = params.value(QStringLiteral("date")).toString();
        const QDate date = dateText.isEmpty()
                               ? Zelvora::Today()
                               : QDate::fromString(dateText, QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
            Consiste::MensErro(
                QStringLiteral("Data inválida: \"%1\" (use AAAA-MM-DD).").arg(dateText), true);

        ReportRequest request;
        const QString preparedText = params.value(QStringLiteral("prepared")).toString();
        if (!preparedText.isEmpty()) {
            request.prepared = QDateTime::fromString(preparedText.simplified(),
                                                     QStringLiteral("yyyy-MM-dd HH:mm"));
            if (!request.prepared.isValid())
                Consiste::MensErro(QStringLiteral("Data e hora do preparo inválidas: \"%1\" (use "
                                                  "AAAA-MM-DD HH:MM).")
                                       .arg(preparedText),
                                   true);
        }
        request.contents = Contents(params.value(QStringLiteral("contents")).toString());
        if (zpl && params.contains(QStringLiteral("contents")) &&
            request.contents != ReportContents::Labels)
            Consiste::MensErro(QStringLiteral("A impressora de etiquetas imprime só etiquetas "
                                              "(--contents etiquetas); os romaneios saem em "
                                              "PDF."),
                               true);
        if (zpl) request.stock = QStringLiteral("ROLO-100x60");
        const QString stock = params.value(QStringLiteral("stock")).toString();
        if (!stock.isEmpty()) request.stock = stock;

        const QString name = BranchName(branch);
        TNetConnection net(QStringLiteral("netImpDistEmbCard"));
        net.Host = Zelvora::WebURL;
        net.Port = Zelvora::WebPort;
        const DistributionDay day = DistributionDayReader::Read(net, branch, name, date);
        for (const DayService& s : day.services)
            request.services.push_back(s.code);
        if (zpl) {
            written = WriteZpl(net, day, request, params, zplFile, printer);
            return;
        }

        const DistributionReport::Result result = DistributionReport::Build(day, request);
        if (!result.error.isEmpty()) Consiste::MensErro(result.error, true);
        const QString without = DistributionReport::WithoutMessage(result);
        if (!without.isEmpty()) Dialogs().ShowInformation(without);
        QString error;
        if (!Printing().WritePdf(result.document, file, error)) Consiste::MensErro(error, true);
        written = true;
        DistEmbCardMethods(net).SetImpressaoDistribuicao(DistributionReport::Job(day, result));
        // The packing lists are written; the labels the data does not allow fail the run.
        if (!result.labelsRefused.isEmpty()) Consiste::MensErro(result.labelsRefused, true);
    });
    return written;
}

} // namespace pla
