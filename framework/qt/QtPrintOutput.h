#pragma once

#include "framework/print/PrintOutput.h"

class QWidget;

namespace pla {

// The print output of the desktop: Qt's print preview dialog, its printer dialog and
// QPdfWriter, with a wait cursor while pages are drawn.
class QtPrintOutput : public PrintOutput {
public:
    // Dialogs open over parent (may be null).
    explicit QtPrintOutput(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    // Makes this the installed output.
    void Install();

    void Preview(const PrintDocument& document) override;
    bool Print(const PrintDocument& document) override;
    QString SavePdf(const PrintDocument& document, const QString& suggestedName) override;
    bool WritePdf(const PrintDocument& document, const QString& file, QString& error) override;

private:
    QWidget* parent_;
};

} // namespace pla
