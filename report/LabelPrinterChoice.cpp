#include "report/LabelPrinterChoice.h"

#include <QSettings>

namespace pla {

LabelPrinterChoice LabelPrinterChoice::Load() {
    const QSettings s(QStringLiteral("pla"), QStringLiteral("impressao"));
    LabelPrinterChoice c;
    c.printer = s.value(QStringLiteral("etiquetas/impressora")).toString();
    c.stock = s.value(QStringLiteral("etiquetas/rolo"), c.stock).toString();
    c.dpi = s.value(QStringLiteral("etiquetas/dpi"), c.dpi).toInt();
    return c;
}

void LabelPrinterChoice::Save() const {
    QSettings s(QStringLiteral("pla"), QStringLiteral("impressao"));
    s.setValue(QStringLiteral("etiquetas/impressora"), printer.trimmed());
    s.setValue(QStringLiteral("etiquetas/rolo"), stock);
    s.setValue(QStringLiteral("etiquetas/dpi"), dpi);
}

} // namespace pla
