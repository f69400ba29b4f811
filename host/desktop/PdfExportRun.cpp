#include "host/desktop/PdfExportRun.h"

#include "framework/qt/QtDialogService.h"
#include "framework/qt/QtPrintOutput.h"
#include "host/desktop/HostSession.h"

#include <QFileInfo>
#include <QVariantMap>
#include <cstdio>

namespace pla {

namespace {

// Counts the PDFs the module had written.
class CountingPdfOutput : public QtPrintOutput {
public:
    bool WritePdf(const PrintDocument& document, const QString& file, QString& error) override {
        const bool ok = QtPrintOutput::WritePdf(document, file, error);
        if (ok) written_ += 1;
        return ok;
    }
    int Written() const { return written_; }

private:
    int written_ = 0;
};

} // namespace

int PdfExportRun::Run(HostSession& session, const HostOptions& options,
                      const QtDialogService& dialogs) {
    const int failuresBefore = dialogs.UnattendedFailures();
    CountingPdfOutput output;
    output.Install();

    QVariantMap param{{QStringLiteral("branch"), options.branch}};
    if (!options.pdf.isEmpty()) param.insert(QStringLiteral("pdf"), options.pdf);
    if (!options.zpl.isEmpty()) param.insert(QStringLiteral("zpl"), options.zpl);
    if (!options.printer.isEmpty()) param.insert(QStringLiteral("printer"), options.printer);
    if (!options.dpi.isEmpty()) param.insert(QStringLiteral("dpi"), options.dpi);
    if (!options.date.isEmpty()) param.insert(QStringLiteral("date"), options.date);
    if (!options.prepared.isEmpty()) param.insert(QStringLiteral("prepared"), options.prepared);
    if (!options.stock.isEmpty()) param.insert(QStringLiteral("stock"), options.stock);
    if (!options.contents.isEmpty()) param.insert(QStringLiteral("contents"), options.contents);
    session.OpenModule(options.module, param);

    SetPrintOutput(nullptr);
    const bool failed = dialogs.UnattendedFailures() != failuresBefore;
    if (!options.pdf.isEmpty()) {
        const bool ok = output.Written() > 0 && !failed;
        if (ok) std::fprintf(stderr, "PDF gravado em %s\n", options.pdf.toLocal8Bit().constData());
        return ok ? 0 : 1;
    }
    // Labels: the module said every failure, so none said is a job done.
    const bool ok = !failed && (options.zpl.isEmpty() || QFileInfo::exists(options.zpl));
    if (ok && !options.zpl.isEmpty())
        std::fprintf(stderr, "ZPL gravado em %s\n", options.zpl.toLocal8Bit().constData());
    if (ok && !options.printer.isEmpty())
        std::fprintf(stderr, "Etiquetas enviadas para %s\n",
                     options.printer.toLocal8Bit().constData());
    return ok ? 0 : 1;
}

} // namespace pla
