#include "labelling/Conservation.h"

namespace pla {

QString Conservation::Instruction(const QString& code) {
    if (code == QLatin1String("Q")) return QStringLiteral("Conservar aquecido acima de 60 °C");
    if (code == QLatin1String("R")) return QStringLiteral("Conservar refrigerado abaixo de 5 °C");
    if (code == QLatin1String("C")) return QStringLiteral("Conservar congelado a -18 °C ou menos");
    if (code == QLatin1String("A")) return QStringLiteral("Conservar em temperatura ambiente");
    return {};
}

int Conservation::MaxHours(const QString& code) {
    // Hot food above 60 °C keeps 6 hours; chilled food at 4 °C or less keeps 5 days.
    if (code == QLatin1String("Q")) return 6;
    if (code == QLatin1String("R")) return 120;
    return 0;
}

QString Conservation::Short(const QString& code) {
    if (code == QLatin1String("Q")) return QStringLiteral("Quente");
    if (code == QLatin1String("R")) return QStringLiteral("Refrigerado");
    if (code == QLatin1String("C")) return QStringLiteral("Congelado");
    if (code == QLatin1String("A")) return QStringLiteral("Ambiente");
    return {};
}

} // namespace pla
