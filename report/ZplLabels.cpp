#include "report/ZplLabels.h"

#include "framework/print/ZplWriter.h"
#include "report/LabelContents.h"

#include <QStringList>

namespace pla {

bool ZplLabels::SupportedDpi(int dpi) {
    return dpi == 203 || dpi == 300;
}

QByteArray ZplLabels::Build(const DistributionDay& day,
                            const QVector<const DayPackaging*>& packagings, const LabelStock& stock,
                            int dpi, const QDateTime& prepared, QString& error,
                            const LabelSelection& selection) {
    if (!stock.IsRoll()) {
        QStringList rolls;
        for (const LabelStock& s : LabelStock::All())
            if (s.IsRoll()) rolls.push_back(s.name);
        error = QStringLiteral("A impressora de etiquetas imprime em rolo; a etiqueta %1 é uma "
                               "folha. Use uma destas: %2.")
                    .arg(stock.name, rolls.join(QStringLiteral(", ")));
        return {};
    }
    if (!SupportedDpi(dpi)) {
        error = QStringLiteral("Resolução da impressora de etiquetas inválida: %1 dpi (use 203 "
                               "ou 300).")
                    .arg(dpi);
        return {};
    }
    error = LabelContents::Missing(day, packagings);
    if (!error.isEmpty()) return {};
    const QVector<PrintPage> pages =
        LabelLayout::Pages(day, packagings, stock, prepared, error, selection);
    if (!error.isEmpty()) return {};
    return ZplWriter::Write(pages, dpi);
}

} // namespace pla
