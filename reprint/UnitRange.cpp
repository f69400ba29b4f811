#include "reprint/UnitRange.h"

#include <QRegularExpression>

namespace pla {

std::optional<QList<int>> UnitRange::Parse(const QString& text, int count, QString& error) {
    const QString typed = text.simplified();
    int first = 1, last = count;
    if (!typed.isEmpty()) {
        static const QRegularExpression form(QStringLiteral("^(\\d{1,6})(?: ?- ?(\\d{1,6}))?$"));
        const QRegularExpressionMatch m = form.match(typed);
        if (!m.hasMatch()) {
            error = QStringLiteral("Unidades inválidas: \"%1\". Informe uma unidade (2) ou um "
                                   "intervalo (1-3) entre 1 e %2, ou deixe vazio para todas.")
                        .arg(typed.left(40))
                        .arg(count);
            return std::nullopt;
        }
        first = m.captured(1).toInt();
        last = m.captured(2).isEmpty() ? first : m.captured(2).toInt();
        if (first > last) {
            error = QStringLiteral("O intervalo \"%1\" está invertido: informe a menor unidade "
                                   "primeiro (%2-%3).")
                        .arg(typed)
                        .arg(last)
                        .arg(first);
            return std::nullopt;
        }
        if (first < 1 || last > count) {
            error = QStringLiteral("A embalagem tem %1 unidade(s): informe unidades entre 1 e %1.")
                        .arg(count);
            return std::nullopt;
        }
    }
    QList<int> units;
    for (int u = first; u <= last; ++u)
        units.push_back(u);
    return units;
}

QString UnitRange::Text(const QList<int>& units) {
    if (units.isEmpty()) return {};
    if (units.size() == 1) return QString::number(units.first());
    return QStringLiteral("%1-%2").arg(units.first()).arg(units.last());
}

} // namespace pla
