#include "appserver/storage/PackingPolicy.h"

#include "appserver/storage/RowCursor.h"

#include <array>

namespace pla {

namespace {

QString ruleKey(const QString& service, const QString& client, const QString& destination,
                const QString& dish) {
    return QStringList{service, client, destination, dish}.join(QLatin1Char('\x1f'));
}

} // namespace

PackingPolicy PackingPolicy::load(const QSqlDatabase& db, const QString& branch,
                                  const QString& service) {
    PackingPolicy policy;
    {
        RowCursor q(db, QStringLiteral("SELECT IDPROPOSTAEMB FROM FILIAL WHERE CDFILIAL = ?"),
                    {branch});
        policy.fewest_ = q.next() && q.text(0) == QLatin1String("V");
    }
    QString sql = QStringLiteral(
        "SELECT CDSERVFILI, CDCLIENTE, CDDESTFILI, CDPRATO, CDCONTAINER FROM REGRAEMB "
        "WHERE CDFILIAL = ?");
    QVariantList values{branch};
    if (!service.isEmpty()) {
        sql += QStringLiteral(" AND CDSERVFILI IN (?, '')");
        values << service;
    }
    RowCursor q(db, sql, values);
    while (q.next())
        policy.add({q.text(0), q.text(1), q.text(2), q.text(3), q.text(4)});
    return policy;
}

void PackingPolicy::add(const Rule& rule) {
    containers_.insert(ruleKey(rule.service, rule.client, rule.destination, rule.dish),
                       rule.container);
}

QString PackingPolicy::ruleContainer(const QString& service, const QString& client,
                                     const QString& destination, const MenuDish& dish) const {
    if (containers_.isEmpty()) return {};
    const QString any;
    const std::array<QString, 7> keys{ruleKey(service, client, destination, dish.dish),
                                      ruleKey(any, client, destination, dish.dish),
                                      ruleKey(service, client, destination, any),
                                      ruleKey(any, client, destination, any),
                                      ruleKey(service, any, any, dish.dish),
                                      ruleKey(service, any, any, any),
                                      ruleKey(any, any, any, dish.dish)};
    // A point is a client and a destination: without them only the rules of the service and
    // of the branch can apply.
    const bool point = !client.isEmpty() && !destination.isEmpty();
    for (std::size_t i = point ? 0 : 4; i < keys.size(); ++i) {
        const auto it = containers_.constFind(keys[i]);
        if (it != containers_.cend() && dish.container(*it)) return *it;
    }
    return {};
}

PackingChoice PackingPolicy::choiceFor(const QString& service, const QString& client,
                                       const QString& destination, const Menu& menu) const {
    PackingChoice choice;
    choice.fewestContainers = fewest_;
    for (const MenuDish& d : menu.dishes)
        if (const QString c = ruleContainer(service, client, destination, d); !c.isEmpty())
            choice.ruled.insert(d.sequence, c);
    return choice;
}

} // namespace pla
