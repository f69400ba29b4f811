#include "labelling/Allergens.h"

#include <QSet>

namespace pla {

const QStringList& Allergens::Names() {
    static const QStringList names{QStringLiteral("trigo"),
                                   QStringLiteral("centeio"),
                                   QStringLiteral("cevada"),
                                   QStringLiteral("aveia"),
                                   QStringLiteral("crustáceos"),
                                   QStringLiteral("ovos"),
                                   QStringLiteral("peixes"),
                                   QStringLiteral("amendoim"),
                                   QStringLiteral("soja"),
                                   QStringLiteral("leite"),
                                   QStringLiteral("amêndoa"),
                                   QStringLiteral("avelã"),
                                   QStringLiteral("castanha-de-caju"),
                                   QStringLiteral("castanha-do-pará"),
                                   QStringLiteral("macadâmia"),
                                   QStringLiteral("nozes"),
                                   QStringLiteral("pecã"),
                                   QStringLiteral("pistache"),
                                   QStringLiteral("pinoli"),
                                   QStringLiteral("castanhas"),
                                   QStringLiteral("látex natural")};
    return names;
}

std::optional<QStringList> Allergens::Parse(const QString& text, QString& unknown) {
    QSet<int> found;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QString name = part.simplified().toLower();
        if (name.isEmpty()) continue;
        const int at = Names().indexOf(name);
        if (at < 0) {
            unknown = part.trimmed();
            return std::nullopt;
        }
        found.insert(at);
    }
    QStringList out;
    for (int i = 0; i < Names().size(); ++i)
        if (found.contains(i)) out.push_back(Names()[i]);
    return out;
}

QString Allergens::Declaration(const QStringList& lists) {
    QString unknown;
    const auto all = Parse(lists.join(QLatin1Char(',')), unknown);
    if (!all || all->isEmpty()) return {};
    QStringList upper;
    for (const QString& n : *all)
        upper.push_back(n.toUpper());
    const QString last = upper.takeLast();
    const QString names =
        upper.isEmpty() ? last : upper.join(QStringLiteral(", ")) + QStringLiteral(" E ") + last;
    return QStringLiteral("ALÉRGICOS: CONTÉM %1.").arg(names);
}

} // namespace pla
