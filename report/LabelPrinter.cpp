#include "report/LabelPrinter.h"

#include "framework/data/NumberFormat.h"
#include "framework/net/NetConnection.h"
#include "framework/print/RawPrinterJob.h"
#include "report/ZplLabels.h"

namespace pla {

QString LabelPrinter::Print(const DistributionDay& day,
                            const QVector<const DayPackaging*>& packagings,
                            const QDateTime& prepared, const LabelSelection& selection) {
    return Print(day, packagings, prepared, selection, LabelPrinterChoice::Load());
}

QString LabelPrinter::Print(const DistributionDay& day,
                            const QVector<const DayPackaging*>& packagings,
                            const QDateTime& prepared, const LabelSelection& selection,
                            const LabelPrinterChoice& choice) {
    if (choice.printer.trimmed().isEmpty())
        return QStringLiteral("Nenhuma impressora de etiquetas escolhida neste computador: "
                              "informe em \"Impressora de etiquetas\" a fila de impressão ou o "
                              "endereço HOST:9100 da impressora.");
    const LabelStock* stock = LabelStock::Find(choice.stock);
    if (!stock) return QStringLiteral("Etiqueta desconhecida: \"%1\".").arg(choice.stock);
    QString error;
    const QByteArray zpl =
        ZplLabels::Build(day, packagings, *stock, choice.dpi, prepared, error, selection);
    if (!error.isEmpty()) return error;
    const QString title =
        QStringLiteral("Etiquetas %1 %2").arg(day.branch, NumberFormat::FormatDate(day.date));
    bool sent = false;
    // A printer that is off takes seconds to be given up on: the windows keep painting.
    TNetConnection::RunTransport(
        [&] { sent = RawPrinterJob::Send(choice.printer, zpl, title, error); });
    return sent ? QString() : error;
}

} // namespace pla
