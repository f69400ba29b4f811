#include "branch_panel/GroupFilter.h"

#include "framework/data/FilterExpression.h"

namespace pla {

namespace {

QString Quote(const QString& value) {
    return FilterExpression::QuoteString(value);
}

} // namespace

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
