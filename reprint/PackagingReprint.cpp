#include "reprint/PackagingReprint.h"

#include "framework/data/NumberFormat.h"
#include "framework/print/PrintOutput.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "report/LabelContents.h"
#include "report/LabelLayout.h"
#include "report/LabelPrinter.h"
#include "report/LabelPrinterChoice.h"

namespace pla {

PrintDocument PackagingReprint::Document(const DistributionDay& day, const DayPackaging& packaging,
                                         const QList<int>& units, const LabelStock& stock,
                                         const QDateTime& prepared, QString& error) {
    PrintDocument document;
    const QVector<const DayPackaging*> one{&packaging};
    error = LabelContents::Missing(day, one);
    if (!error.isEmpty()) return document;
    document.title = QStringLiteral("Etiquetas da embalagem %1 %2")
                         .arg(packaging.number)
                         .arg(NumberFormat::FormatDate(day.date));
    // One packaging's labels alone: no delivery point's header label before them.
    document.pages = LabelLayout::Pages(day, one, stock, prepared, error, {units, false});
    return document;
}

bool PackagingReprint::Print(const DistributionDay& day, const DayPackaging& packaging,
                             const QList<int>& units, const LabelStock& stock,
                             const QDateTime& prepared) {
    QString error;
    // A workstation with a label printer gets a roll's labels on it, in the printer's own
    // language, as the print screen sends them; a sheet stock goes through the print output.
    LabelPrinterChoice printer = LabelPrinterChoice::Load();
    if (!printer.printer.trimmed().isEmpty() && stock.PerPage() == 1) {
        printer.stock = stock.name;
        {
            BusyScope busy(Zelvora::MainWindow());
            error = LabelPrinter::Print(day, {&packaging}, prepared, {units, false}, printer);
        }
        if (!error.isEmpty()) Consiste::MensErro(error, true);
        return true;
    }
    const PrintDocument document = Document(day, packaging, units, stock, prepared, error);
    if (!error.isEmpty()) Consiste::MensErro(error, true);
    return Printing().Print(document);
}

} // namespace pla
