#include "appserver/transfer/PackingRuleCheck.h"

#include "appserver/transfer/ImportContext.h"

namespace pla {

QString PackingRuleCheck::problem(ImportContext& context, const QVariantList& values, int& column) {
    const ExchangeKind& kind = ExchangeFormat::of(DataKind::PackingRules);
    const int dishColumn = kind.indexOf(QStringLiteral("CDPRATO"));
    const QString dish = values[dishColumn].toString();
    if (dish.isEmpty()) return {};
    const QString branch = values[kind.indexOf(QStringLiteral("CDFILIAL"))].toString();
    const int containerColumn = kind.indexOf(QStringLiteral("CDCONTAINER"));
    const QString container = values[containerColumn].toString();
    const int centralColumn =
        ExchangeFormat::of(DataKind::Branches).indexOf(QStringLiteral("CDFILCENTPME"));
    const QString central =
        context.known(DataKind::Branches).value(branch).value(centralColumn).toString();

    QStringList recipes{branch};
    if (!central.isEmpty() && central != branch) recipes << central;
    bool registered = false;
    for (const QString& recipe : recipes) {
        if (!context.known(DataKind::Dishes).contains(ImportContext::joinKey({recipe, dish})))
            continue;
        registered = true;
        if (context.known(DataKind::Capacities)
                .contains(ImportContext::joinKey({recipe, dish, container})))
            return {};
    }
    if (!registered) {
        column = dishColumn;
        return recipes.size() > 1
                   ? QStringLiteral("prato %1 não cadastrado na filial %2 nem na sua central %3")
                         .arg(dish, branch, central)
                   : QStringLiteral("prato %1 não cadastrado na filial %2").arg(dish, branch);
    }
    column = containerColumn;
    return QStringLiteral("a embalagem %1 não tem capacidade para o prato %2: informe-a em "
                          "capacidades.csv ou escolha outra embalagem")
        .arg(container, dish);
}

} // namespace pla
