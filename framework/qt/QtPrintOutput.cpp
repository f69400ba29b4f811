#include "framework/qt/QtPrintOutput.h"

#include "framework/qt/PagePainter.h"
#include "framework/ui/DialogService.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace pla {

namespace {

// The wait cursor for as long as pages are being drawn.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void Prepare(QPrinter& printer, const PrintDocument& document) {
    // The layout places everything from the paper's edge; the printer must not move it.
    printer.setFullPage(true);
    printer.setDocName(document.title);
}

} // namespace

void QtPrintOutput::Install() {
    SetPrintOutput(this);
}

void QtPrintOutput::Preview(const PrintDocument& document) {
    QPrinter printer(QPrinter::HighResolution);
    Prepare(printer, document);
    QPrintPreviewDialog dialog(&printer, parent_);
    dialog.setWindowTitle(QStringLiteral("Visualizar - %1").arg(document.title));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) {
        WaitCursor wait;
        PagePainter::DrawDocument(*p, document);
    });
    dialog.exec();
}

bool QtPrintOutput::Print(const PrintDocument& document) {
    QPrinter printer(QPrinter::HighResolution);
    Prepare(printer, document);
    QPrintDialog dialog(&printer, parent_);
    dialog.setWindowTitle(QStringLiteral("Imprimir - %1").arg(document.title));
    if (dialog.exec() != QDialog::Accepted) return false;
    WaitCursor wait;
    if (!PagePainter::DrawDocument(printer, document)) {
        Dialogs().ShowError(
            QStringLiteral("Não foi possível imprimir em %1.").arg(printer.printerName()));
        return false;
    }
    return true;
}

QString QtPrintOutput::SavePdf(const PrintDocument& document, const QString& suggestedName) {
    const QString file = QFileDialog::getSaveFileName(parent_, QStringLiteral("Gerar PDF"),
                                                      QDir::home().filePath(suggestedName),
                                                      QStringLiteral("Documentos PDF (*.pdf)"));
    if (file.isEmpty()) return {};
    QString error;
    if (!WritePdf(document, file, error)) {
        Dialogs().ShowError(error);
        return {};
    }
    return file;
}

bool QtPrintOutput::WritePdf(const PrintDocument& document, const QString& file, QString& error) {
    if (document.pages.isEmpty()) {
        error = QStringLiteral("Não há páginas para gravar em %1.").arg(file);
        return false;
    }
    WaitCursor wait;
    {
        QPdfWriter writer(file);
        writer.setResolution(1200);
        writer.setTitle(document.title);
        writer.setCreator(QStringLiteral("PLA15500"));
        if (PagePainter::DrawDocument(writer, document)) return true;
    }
    error = QStringLiteral("Não foi possível gravar o PDF em \"%1\" (verifique a pasta e a "
                           "permissão de escrita).")
                .arg(QFileInfo(file).absoluteFilePath());
    return false;
}

} // namespace pla
