#include "host/desktop/PdfExportRun.h"

#include "framework/qt/QtPrintOutput.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/ModalResult.h"
#include "host/desktop/HostSession.h"

#include <QVariantMap>
#include <cstdio>
#include <cstring>

namespace pla {

namespace {

class ConsoleDialogs : public DialogService {
public:
    int MessageBox(const QString& text, MsgDlgType type, MsgDlgButtons buttons) override {
        if (type == MsgDlgType::Error) errors_ += 1;
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        if (buttons & mbNo) return mrNo;
        if (buttons & mbCancel) return mrCancel;
        return mrOk;
    }
    bool PickList(TDataSource&, const QString&) override { return false; }
    void Find(TClientDataSet&) override {}
    void BusyBegin(int) override {}
    void BusyEnd() override {}
    int Errors() const { return errors_; }

private:
    int errors_ = 0;
};

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

bool PdfExportRun::Requested(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    return false;
}

int PdfExportRun::Run(HostSession& session, const HostOptions& options) {
    ConsoleDialogs dialogs;
    DialogService* previous = HasDialogs() ? &Dialogs() : nullptr;
    SetDialogService(&dialogs);
    CountingPdfOutput output;
    output.Install();

    QVariantMap param{{QStringLiteral("pdf"), options.pdf},
                      {QStringLiteral("branch"), options.branch}};
    if (!options.date.isEmpty()) param.insert(QStringLiteral("date"), options.date);
    if (!options.prepared.isEmpty()) param.insert(QStringLiteral("prepared"), options.prepared);
    if (!options.stock.isEmpty()) param.insert(QStringLiteral("stock"), options.stock);
    if (!options.contents.isEmpty()) param.insert(QStringLiteral("contents"), options.contents);
    session.OpenModule(options.module, param);

    SetPrintOutput(nullptr);
    SetDialogService(previous);
    const bool ok = output.Written() > 0 && dialogs.Errors() == 0;
    if (ok) std::fprintf(stderr, "PDF gravado em %s\n", options.pdf.toLocal8Bit().constData());
    return ok ? 0 : 1;
}

} // namespace pla
