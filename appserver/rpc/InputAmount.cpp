#include "appserver/rpc/InputAmount.h"

#include <QLocale>

namespace pla {

QString InputAmount::problem(double value, double max) {
    if (value < 0) return QStringLiteral("não pode ser negativo");
    // Written so that NaN fails too.
    if (!(value <= max)) return QStringLiteral("passa do limite de %1").arg(figure(max));
    return {};
}

QString InputAmount::figure(double value) {
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(value, 'f', 0);
}

} // namespace pla
