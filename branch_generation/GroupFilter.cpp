#include "branch_generation/GroupFilter.h"

namespace pla {

QString GroupFilter::Quote(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString GroupFilter::For(const QString& groupCode) {
    return QStringLiteral("CDGRUPSERV = ") + Quote(groupCode);
}

QString GroupFilter::WithTick(const QString& listFilter, const QString& tick) {
    const QString tickTest = QStringLiteral("IDMARCADO = ") + Quote(tick);
    if (listFilter.trimmed().isEmpty()) return tickTest;
    // The list's own expression keeps its meaning whatever operators it holds.
    return QLatin1Char('(') + listFilter + QStringLiteral(") AND ") + tickTest;
}

} // namespace pla
